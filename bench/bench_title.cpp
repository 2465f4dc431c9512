// The entry list with a large journal, each figure from a fresh process of its own:
// the time from the process's start to the first painted frame of the list, and a page
// redraw after PageDown with its paint.
//   bench_title [entries] [--folder DIR]   generates (or reuses) a program folder, then
//                                          runs the program on it five times
//   bench_title --run DIR [--redraw]       one start of the program on DIR (what the
//                                          parent runs; time it as a whole process too)
// Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include "bench/bench_support.h"
#include "core/core.h"
#include "core/ole_date.h"
#include "journal/title.h"
#include "shell/shell.h"
#include "shell/startup.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

// The monotonic clock is one clock for every process on the machine, so a child's
// readings compare with the moment its parent started it.
int64_t now_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class BenchScreen : public qb::ScreenInfo {
public:
    int screen_width_pixels() const override { return 1280; }
};

// Counts paint events of the list's boxes.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(const qb::Title* title) : title_(title) {}
    int painted = 0;
    bool first_row_painted = false;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint && o->isWidgetType() && title_->isAncestorOf(static_cast<QWidget*>(o))) {
            ++painted;
            if (o == title_->Date_Entry_Display_text[0]) first_row_painted = true;
        }
        return false;
    }

private:
    const qb::Title* title_;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

int run_program(int argc, char** argv, const QString& folder, bool redraw) {
    const int64_t entered = now_ns();
    QApplication app(argc, argv);
    const int64_t app_made = now_ns();
    qb::bench::FixedClock clock;
    qb::bench::QuietPresenter quiet;
    BenchScreen screen;
    qb::Platform platform;
    platform.clock = &clock;
    platform.messages = &quiet;
    platform.screen = &screen;

    auto program = qb::Main(platform, folder, [](qb::Shell& s) { qb::register_journal_windows(s); });
    const int64_t started = now_ns();
    if (!program) return std::fprintf(stderr, "start-up refused\n"), 1;
    auto* title = program->shell->window_as<qb::Title>(QStringLiteral("Title"));
    PaintCounter counter(title);
    app.installEventFilter(&counter);

    // The frame is painted when the event loop has delivered the list's paint events.
    QElapsedTimer bound;
    bound.start();
    while (!counter.first_row_painted && bound.elapsed() < 10000) QCoreApplication::processEvents();
    const int64_t painted = now_ns();
    if (!counter.first_row_painted) return std::fprintf(stderr, "the list was never painted\n"), 1;
    std::printf("main_entered_ns=%lld\napp_made_ns=%lld\nstarted_ns=%lld\npainted_ns=%lld\n",
                static_cast<long long>(entered), static_cast<long long>(app_made), static_cast<long long>(started),
                static_cast<long long>(painted));

    if (redraw) {
        title->handle_grid_key(0, 36, 0);  // Home
        QCoreApplication::processEvents();
        std::vector<double> times;
        int painted_boxes = 0;
        for (int i = 0; i < 20; ++i) {
            counter.painted = 0;
            QElapsedTimer t;
            t.start();
            title->handle_grid_key(0, 34, 0);  // PageDown
            QCoreApplication::processEvents();  // delivers the paint the redraw asked for
            times.push_back(t.nsecsElapsed() / 1e6);
            painted_boxes = counter.painted;
        }
        std::printf("redraw_best_ms=%.3f\nredraw_median_ms=%.3f\nredraw_painted_boxes=%d\n",
                    *std::min_element(times.begin(), times.end()), median(times), painted_boxes);
    }
    app.removeEventFilter(&counter);
    program.reset();
    return 0;
}

struct ChildFigures {
    double to_main = 0, to_app = 0, to_started = 0, to_painted = 0, redraw_best = 0, redraw_median = 0;
    int painted_boxes = 0;
};

bool run_child(const QString& folder, bool redraw, ChildFigures& out) {
    QProcess p;
    QStringList args{QStringLiteral("--run"), folder};
    if (redraw) args << QStringLiteral("--redraw");
    const int64_t t0 = now_ns();
    p.start(QCoreApplication::applicationFilePath(), args);
    if (!p.waitForFinished(120000) || p.exitCode() != 0) {
        std::fprintf(stderr, "%s", p.readAllStandardError().constData());
        return false;
    }
    for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq < 0) continue;
        const QByteArray key = line.left(eq), value = line.mid(eq + 1);
        auto since = [&](double& field) { field = (value.toLongLong() - t0) / 1e6; };
        if (key == "main_entered_ns") since(out.to_main);
        else if (key == "app_made_ns") since(out.to_app);
        else if (key == "started_ns") since(out.to_started);
        else if (key == "painted_ns") since(out.to_painted);
        else if (key == "redraw_best_ms") out.redraw_best = value.toDouble();
        else if (key == "redraw_median_ms") out.redraw_median = value.toDouble();
        else if (key == "redraw_painted_boxes") out.painted_boxes = value.toInt();
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc >= 3 && QByteArray(argv[1]) == "--run")
        return run_program(argc, argv, QString::fromLocal8Bit(argv[2]), argc >= 4 && QByteArray(argv[3]) == "--redraw");

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
    QDir().mkpath(folder);
    const double gen_ms = qb::bench::make_journal(folder, count);
    if (gen_ms < 0) return std::fprintf(stderr, "generating the journal failed\n"), 1;
    if (gen_ms > 0) std::printf("generated %d entries in %.0f ms\n", count, gen_ms);

    // One warm-up start (the files into the page cache), then five counted ones.
    ChildFigures warm;
    if (!run_child(folder, false, warm)) return std::fprintf(stderr, "the program run failed\n"), 1;
    std::vector<double> to_main, to_app, to_started, to_painted, best, med;
    int painted_boxes = 0;
    for (int r = 0; r < 5; ++r) {
        ChildFigures f;
        if (!run_child(folder, true, f)) return std::fprintf(stderr, "the program run failed\n"), 1;
        to_main.push_back(f.to_main);
        to_app.push_back(f.to_app);
        to_started.push_back(f.to_started);
        to_painted.push_back(f.to_painted);
        best.push_back(f.redraw_best);
        med.push_back(f.redraw_median);
        painted_boxes = f.painted_boxes;
    }
    auto row = [](const char* what, const std::vector<double>& v) {
        std::printf("  %-40s %9.3f %9.3f %9.3f\n", what, *std::min_element(v.begin(), v.end()), median(v),
                    *std::max_element(v.begin(), v.end()));
    };
    std::printf("entries: %d; ms from the process start, over 5 processes: min, median, max\n", count);
    row("main() entered", to_main);
    row("application object made", to_app);
    row("start-up sequence done", to_started);
    row("first frame of the list painted", to_painted);
    std::printf("PageDown redraw, handler and paint (%d boxes painted), over 5 processes:\n", painted_boxes);
    row("best of 20 in a process", best);
    row("median of 20 in a process", med);
    return 0;
}
