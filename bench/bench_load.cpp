// Loading and saving with a large journal: generates a program folder of 10,000
// entries (details text, two answered checklists each), then times the raw read of
// entries.dat, load_summary_data, and one save_entry with its texts.
#include "bench/bench_support.h"
#include "core/core.h"
#include "core/ole_date.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

void fill_entry(qb::Core& c, int n) {
    qb::SummaryEntry& e = c.current_entry.entry;
    e.Inuse = qb::kTrue;
    e.security = QString("Security %1").arg(n % 500);
    e.symbol = QString("S%1").arg(n % 500);
    e.transaction = n % 3 ? "Buy" : "Sell";
    e.price = qb::Currency(n) * 10000 + 2500;
    e.entry_date = qb::ole_from_date(QDate(2000, 1, 1).addDays(n));
    e.other.present = qb::kTrue;
    e.other.text = QString("Details of entry %1. ").arg(n).repeated(6);
    for (int k = 0; k < 2; ++k) {
        qb::EntryChecklist& blk = e.checklist[k];
        blk.Inuse = qb::kTrue;
        blk.name = QString("Checklist %1").arg(k);
        blk.last_item_index = 4;
        for (int j = 0; j < 5; ++j) {
            blk.Item[j].answer = int16_t(1 + (n + j) % 3);
            blk.Item[j].text = QString("Item %1 of checklist %2?").arg(j).arg(k);
            if (j % 2 == 0) blk.Item[j].comment = QString("Comment %1").arg(n);
        }
    }
}

double ms(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; }

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? QString(argv[1]).toInt() : 10000;
    QTemporaryDir dir;
    if (getenv("QB_KEEP")) dir.setAutoRemove(false), std::printf("folder %s\n", qPrintable(dir.path()));
    qb::bench::FixedClock clock;
    qb::bench::QuietPresenter quiet;
    qb::Platform platform;
    platform.clock = &clock;
    platform.messages = &quiet;

    qb::Core c(dir.path(), platform);
    c.init_blank_entry();
    c.init_blank_entry_checklist();
    c.init_blank_checklist();
    c.load_summary_data();
    QElapsedTimer gen;
    gen.start();
    for (int n = 0; n < count; ++n) {
        int32_t slot;
        c.get_new_entry_slot(slot);
        c.current_entry = c.blank_entry;
        c.current_entry.index = slot;
        fill_entry(c, n);
        if (!c.save_entry()) return std::fprintf(stderr, "save %d failed\n", n), 1;
    }
    std::printf("generated %d entries in %.0f ms\n", count, ms(gen));

    // Best of five; the first load is the one a start-up pays (fresh memory).
    double raw_ms = 1e9, load_ms = 1e9, first_load_ms = 0;
    qsizetype raw_size = 0;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer raw;
        raw.start();
        QFile f(c.data_path("entries.dat"));
        f.open(QIODevice::ReadOnly);
        const QByteArray all = f.readAll();
        f.close();
        raw_ms = std::min(raw_ms, ms(raw));
        raw_size = all.size();
    }
    qb::Core fresh(dir.path(), platform);
    fresh.init_blank_entry();
    fresh.init_blank_entry_checklist();
    for (int round = 0; round < 5; ++round) {
        fresh.SummaryData.clear();
        fresh.SummaryData.squeeze();
        QElapsedTimer load;
        load.start();
        fresh.load_summary_data();
        if (round == 0) first_load_ms = ms(load);
        load_ms = std::min(load_ms, ms(load));
    }

    fresh.load_entry(fresh.maxSummarydata_index() / 2);
    fresh.current_entry.entry.other.text += " One more line.";
    QElapsedTimer save;
    save.start();
    fresh.save_entry();
    const double save_ms = ms(save);

    std::printf("entries.dat: %lld bytes, %d entries loaded\n", static_cast<long long>(raw_size),
                int(fresh.SummaryData.size()));
    std::printf("raw read:          %8.2f ms\n", raw_ms);
    std::printf("load_summary_data: %8.2f ms first, %.2f ms best (%.1f x raw)\n", first_load_ms, load_ms,
                first_load_ms / raw_ms);
    std::printf("save_entry:        %8.2f ms\n", save_ms);
    return 0;
}
