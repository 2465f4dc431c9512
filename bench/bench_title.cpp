// The entry list with a large journal: the time from the start of the start-up sequence
// to the list shown with its newest page, and one page redraw after PageDown.
// Runs offscreen: QT_QPA_PLATFORM=offscreen bench_title [entries]
#include "bench/bench_support.h"
#include "core/core.h"
#include "core/ole_date.h"
#include "journal/title.h"
#include "shell/shell.h"
#include "shell/startup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cstdio>

namespace {

class BenchScreen : public qb::ScreenInfo {
public:
    int screen_width_pixels() const override { return 1280; }
};

double ms(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; }

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int count = argc > 1 ? QString(argv[1]).toInt() : 10000;
    QTemporaryDir dir;
    qb::bench::FixedClock clock;
    qb::bench::QuietPresenter quiet;
    BenchScreen screen;
    qb::Platform platform;
    platform.clock = &clock;
    platform.messages = &quiet;
    platform.screen = &screen;

    {
        qb::Core gen(dir.path(), platform);
        gen.init_blank_entry();
        gen.init_blank_entry_checklist();
        gen.load_summary_data();
        for (int n = 0; n < count; ++n) {
            int32_t slot;
            gen.get_new_entry_slot(slot);
            gen.current_entry = gen.blank_entry;
            gen.current_entry.index = slot;
            qb::SummaryEntry& e = gen.current_entry.entry;
            e.Inuse = qb::kTrue;
            e.security = QString("Security %1").arg(n % 700);
            e.symbol = QString("S%1").arg(n % 700);
            e.transaction = n % 3 ? "Buy" : "Sell";
            e.price = qb::Currency(n) * 10000;
            e.entry_date = qb::ole_from_date(QDate(2000, 1, 1).addDays(n));
            e.checklist[0].Inuse = qb::kTrue;
            e.checklist[0].completed = qb::kTrue;
            e.checklist[0].name = "Keep Focus";
            e.checklist[0].Item[0].answer = qb::answer_yes;
            e.checklist[0].Item[0].text = "Be patient.";
            gen.save_entry();
        }
        // No tips or tour at start: the timing is the list's.
        gen.tiponstartup = "n";
        gen.touronstartup = "n";
        gen.save_preferences();
    }

    QElapsedTimer start;
    start.start();
    auto program = qb::Main(platform, dir.path(), [](qb::Shell& s) { qb::register_journal_windows(s); });
    const double start_ms = ms(start);
    if (!program) return std::fprintf(stderr, "start-up refused\n"), 1;
    auto* title = program->shell->window_as<qb::Title>(QStringLiteral("Title"));

    title->handle_grid_key(0, 36, 0);  // Home
    double best = 1e9;
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer t;
        t.start();
        title->handle_grid_key(0, 34, 0);  // PageDown
        best = std::min(best, ms(t));
    }
    std::printf("entries: %d\n", count);
    std::printf("start-up to the newest page shown: %8.2f ms\n", start_ms);
    std::printf("PageDown redraw (best of 20):      %8.3f ms\n", best);
    program.reset();
    return 0;
}
