// The chart with a long history: parsing a reply of 2,500 daily lines, and drawing it
// with 1,000 journal entries to mark, up to the grabbed image of the chart.
// Runs offscreen: QT_QPA_PLATFORM=offscreen bench_chart [lines] [entries]
#include "bench/bench_support.h"
#include "core/core.h"
#include "core/date_text.h"
#include "core/ole_date.h"
#include "market/chart.h"
#include "market/market_windows.h"
#include "shell/mdimain.h"
#include "shell/shell.h"

#include <QApplication>
#include <QChartView>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double ms(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; }

void report(const char* what, std::vector<double> runs) {
    std::sort(runs.begin(), runs.end());
    std::printf("%-28s best %7.2f ms  median %7.2f ms  worst %7.2f ms\n", what, runs.front(), runs[runs.size() / 2],
                runs.back());
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int lines = argc > 1 ? QString(argv[1]).toInt() : 2500;
    const int entries = argc > 2 ? QString(argv[2]).toInt() : 1000;
    QTemporaryDir dir;
    qb::bench::FixedClock clock;
    qb::bench::QuietPresenter quiet;
    qb::Platform platform;
    platform.clock = &clock;
    platform.messages = &quiet;

    qb::Core core(dir.path(), platform);
    core.init_blank_entry();
    core.load_preferences();
    const QDate newest(2026, 3, 13);
    QString reply = QStringLiteral("Date,Open,High,Low,Close,Volume,Adj Close\n");
    QDate day = newest;
    for (int i = 0; i < lines; ++i) {
        while (day.dayOfWeek() > 5) day = day.addDays(-1);
        const double p = 40 + 15 * std::sin(i / 90.0) + (i % 7) * 0.3;
        reply += QStringLiteral("%1,%2,%3,%4,%2,1500000,%2\n").arg(day.toString(Qt::ISODate)).arg(p, 0, 'f', 2)
                     .arg(p + 0.5, 0, 'f', 2).arg(p - 0.5, 0, 'f', 2);
        day = day.addDays(-1);
    }
    const QDate oldest = day;
    const char* types[] = {"Buy", "Sell", "Call Notes", "Hold"};
    for (int n = 0; n < entries; ++n) {
        qb::SummaryEntry e;
        e.Inuse = qb::kTrue;
        e.symbol = n % 10 ? "ACME" : "OTHER";
        e.transaction = types[n % 4];
        e.entry_date = qb::ole_from_date(oldest.addDays(1 + (n * 3) % (oldest.daysTo(newest))));
        core.SummaryData.append(e);
    }

    std::vector<double> parse_runs;
    for (int i = 0; i < 15; ++i) {
        qb::PriceHistory h;
        bool ok = false;
        QElapsedTimer t;
        t.start();
        h.parse_quote_data(reply, "ACME", ok);
        parse_runs.push_back(ms(t));
        if (!ok || h.hist_count != lines) return std::fprintf(stderr, "parse failed\n"), 1;
    }

    qb::Shell shell(core);
    qb::register_market_windows(shell);
    shell.end_program = [] {};
    auto* chart = shell.window_as<qb::Chart>(QStringLiteral("Chart"));
    chart->Symbol->setText("ACME");
    chart->start_date->setText(qb::short_date_text(oldest));
    chart->end_date->setText(qb::short_date_text(newest));
    chart->resize(1000, 700);
    chart->show();
    bool ok = false;
    chart->history.parse_quote_data(reply, "ACME", ok);

    std::vector<double> draw_runs;
    int marked = 0;
    for (int i = 0; i < 15; ++i) {
        QElapsedTimer t;
        t.start();
        chart->MSChart1->show();
        chart->generate_chart();
        // The chart lays its items out from posted events; the image is the drawn chart
        // only after they ran.
        QCoreApplication::processEvents();
        const QImage image = chart->MSChart1->grab().toImage();
        draw_runs.push_back(ms(t));
        if (image.isNull()) return std::fprintf(stderr, "no image\n"), 1;
        if (i == 0) {
            for (int r = 1; r <= chart->history.hist_count; ++r)
                for (int c = 3; c <= 5; ++c) marked += chart->history.cell(r, c) != 0;
            if (argc > 3) image.save(QString::fromLocal8Bit(argv[3]));
        }
    }
    std::printf("%d daily lines, %d entries (%d markers placed)\n", lines, entries, marked);
    report("parse_quote_data", parse_runs);
    report("generate_chart + grab", draw_runs);
    return 0;
}
