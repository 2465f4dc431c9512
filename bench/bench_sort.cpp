// Times the entry-list sorts and the completion-table build over a large journal.
// Run from a Release build: bench/bench_sort [entries]
#include "core/core.h"
#include "core/ole_date.h"
#include "core/sorting.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

using namespace qb;

namespace {

QVector<SummaryEntry> make_entries(int count) {
    QRandomGenerator rng(20260314);  // the same journal every run
    const QStringList types{"Buy", "Sell", "Hold", "Thinking", "Short", "Cover Short", "Web Page", "File", "Call Notes"};
    const QStringList lists{"Value Investing", "growth check", "Dividend", "Turnaround", "Momentum"};
    QVector<SummaryEntry> data(count);
    for (int i = 0; i < count; ++i) {
        SummaryEntry& e = data[i];
        e.file_idx = i + 2;
        e.Inuse = rng.bounded(100) == 0 ? kFalse : kTrue;
        e.entry_date = ole_from_date(QDate(2015, 1, 1).addDays(rng.bounded(4000))) + rng.bounded(24) / 24.0;
        // About 2000 distinct names over letters, digits and signs, case mixed.
        const QChar first(char16_t(rng.bounded(2) ? 'A' + rng.bounded(26) : '!' + rng.bounded(93)));
        e.security = first + QStringLiteral("ompany %1 Holdings").arg(rng.bounded(80));
        e.symbol = QStringLiteral("S%1").arg(i);
        e.transaction = types[rng.bounded(types.size())];
        e.price = Currency(rng.bounded(5000000)) * 100;
        if (e.transaction == u"Web Page" || e.transaction == u"Call Notes") {
            e.web.present = kTrue;
            e.web.reference_name = QStringLiteral("Topic %1").arg(rng.bounded(500));
        } else if (e.transaction == u"File") {
            e.file.present = kTrue;
            e.file.path = QStringLiteral("C:\\Docs\\report%1.pdf").arg(rng.bounded(500));
        } else {
            for (int b = 0; b < 3; ++b) {
                e.checklist[b].Inuse = kTrue;
                e.checklist[b].name = lists[rng.bounded(lists.size())];
                e.checklist[b].completed = to_flag(rng.bounded(3) == 0);
            }
        }
    }
    return data;
}

struct Timing {
    double first = 0;  // cold: the first time in this run of the program
    double best = 0;
};

template <class F>
Timing time_ms(int runs, F&& run) {
    Timing t;
    t.first = t.best = run();
    for (int r = 1; r < runs; ++r) t.best = std::min(t.best, run());
    return t;
}

void print(const char* what, Timing t) { std::printf("  %-20s %8.2f %8.2f\n", what, t.first, t.best); }

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 10000;
    QTemporaryDir dir;
    Core core(dir.path(), Platform{});
    const QVector<SummaryEntry> journal = make_entries(count);
    constexpr int kRuns = 5;

    std::printf("%d entries, ms: first run, best of %d\n", count, kRuns);
    const char* names[] = {"sort_date", "sort_security", "sort_transaction", "sort_price",
                           "sort_checklist", "sort_topic", "sort_order_added"};
    for (int key = sort_date; key <= sort_order_added; ++key) {
        const Timing ms = time_ms(kRuns, [&] {
            core.SummaryData = journal;  // unsorted, as loaded
            core.SummaryData.detach();   // the program's table is its own, not shared
            QElapsedTimer t;
            t.start();
            core.sort_summary_data(key);
            return t.nsecsElapsed() / 1e6;
        });
        print(names[key], ms);
    }
    // Sorting an already sorted table (a column button pressed twice).
    core.SummaryData = journal;
    core.SummaryData.detach();
    core.sort_summary_data(sort_security);
    const Timing again = time_ms(kRuns, [&] {
        QElapsedTimer t;
        t.start();
        core.sort_summary_data(sort_security);
        return t.nsecsElapsed() / 1e6;
    });
    print("sort_security again", again);

    core.SummaryData = journal;
    core.SummaryData.detach();  // the table is the program's own: no copy inside the timing
    const Timing table_ms = time_ms(kRuns, [&] {
        for (auto& p : core.autocomplete_names) p.fill(QString());
        QElapsedTimer t;
        t.start();
        core.build_autocomplete_table();
        return t.nsecsElapsed() / 1e6;
    });
    print("autocomplete table", table_ms);
    return 0;
}
