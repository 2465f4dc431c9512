// Loading and saving with a large journal: generates (or reuses) a program folder of
// 10,000 entries (bench_support.h), then times the raw read
// of entries.dat into a reused buffer, load_summary_data, and one save_entry with its texts.
//   bench_load [entries] [--folder DIR]
#include "bench/bench_support.h"
#include "core/core.h"
#include "core/ole_date.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double ms(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; }

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int count = 10000;
    QString folder;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == u"--folder" && i + 1 < args.size()) folder = args[++i];
        else count = std::max(1, args[i].toInt());
    }
    QTemporaryDir temp;
    if (folder.isEmpty()) folder = temp.path();
    qb::bench::FixedClock clock;
    qb::bench::QuietPresenter quiet;
    qb::Platform platform;
    platform.clock = &clock;
    platform.messages = &quiet;

    const QString entries = QDir(folder).filePath(QStringLiteral("entries.dat"));
    const double gen_ms = qb::bench::make_journal(folder, count);
    if (gen_ms < 0) return std::fprintf(stderr, "generating the journal failed\n"), 1;
    if (gen_ms > 0) std::printf("generated %d entries in %.0f ms\n", count, gen_ms);

    // The file read as one block into a buffer that is already in memory: the cost of
    // the bytes alone, without page faults of a fresh buffer.
    QFile f(entries);
    f.open(QIODevice::ReadOnly);
    QByteArray buffer(f.size(), '\0');
    std::vector<double> raw_ms;
    auto read_raw = [&]() -> bool {
        f.seek(0);
        QElapsedTimer raw;
        raw.start();
        const qint64 got = f.read(buffer.data(), buffer.size());
        raw_ms.push_back(ms(raw));
        return got == buffer.size();
    };
    // A first read brings the file into the page cache, as a program folder in use is,
    // and the buffer into memory; it is not counted.
    if (!read_raw()) return std::fprintf(stderr, "short read\n"), 1;
    raw_ms.clear();

    // The first load is the one a start-up pays: the table's memory is fresh.
    qb::Core fresh(folder, platform);
    fresh.init_blank_entry();
    fresh.init_blank_entry_checklist();
    std::vector<double> load_ms;
    for (int round = 0; round < 6; ++round) {
        fresh.SummaryData = QVector<qb::SummaryEntry>();
        QElapsedTimer load;
        load.start();
        fresh.load_summary_data();
        load_ms.push_back(ms(load));
    }
    const double first_load_ms = load_ms.front();
    load_ms.erase(load_ms.begin());

    for (int round = 0; round < 5; ++round)
        if (!read_raw()) return std::fprintf(stderr, "short read\n"), 1;
    f.close();

    fresh.load_entry(fresh.maxSummarydata_index() / 2);
    fresh.current_entry.entry.other.text += " One more line.";
    QElapsedTimer save;
    save.start();
    fresh.save_entry();
    const double save_ms = ms(save);

    const double raw = median(raw_ms), later = median(load_ms);
    std::printf("entries.dat: %lld bytes, %d entries loaded\n", static_cast<long long>(buffer.size()),
                int(fresh.SummaryData.size()));
    std::printf("raw read into a reused buffer, median of 5:  %8.2f ms\n", raw);
    std::printf("load_summary_data, first in the process:     %8.2f ms (%.1f x raw)\n", first_load_ms,
                first_load_ms / raw);
    std::printf("load_summary_data, median of the next 5:     %8.2f ms (%.1f x raw)\n", later, later / raw);
    std::printf("save_entry:                                  %8.2f ms\n", save_ms);
    return 0;
}
