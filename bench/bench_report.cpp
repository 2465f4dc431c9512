// The text report of a large journal, and the print layout with PDF output of a big
// transaction entry. Runs offscreen: QT_QPA_PLATFORM=offscreen bench_report [entries]
#include "bench/bench_support.h"
#include "core/core.h"
#include "core/ole_date.h"
#include "journal/addentry.h"
#include "journal/title.h"
#include "reports/print_entry.h"
#include "reports/report.h"
#include "reports/reports_windows.h"
#include "shell/shell.h"
#include "shell/startup.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

namespace {

class BenchScreen : public qb::ScreenInfo {
public:
    int screen_width_pixels() const override { return 1280; }
};

class PdfPrinter : public qb::Printer {
public:
    explicit PdfPrinter(const QString& path) : path_(path) {}
    bool choose_printer(const QString&, const QString&) override { return true; }
    QPrinter* printer() override {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setPageSize(QPageSize(QPageSize::Letter));
        printer_->setOutputFileName(path_);
        return printer_.get();
    }

private:
    QString path_;
    std::unique_ptr<QPrinter> printer_;
};

double ms(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e6; }

void fill_block(qb::EntryChecklist& b, const QString& name, int items, int text_size, int comment_size) {
    b.Inuse = qb::kTrue;
    b.completed = qb::kTrue;
    b.name = name;
    b.last_item_index = int16_t(items - 1);
    for (int j = 0; j < items; ++j) {
        b.Item[j].answer = int16_t(1 + j % 3);
        b.Item[j].text = QString("Item %1 ").arg(j + 1) + QString("thing ").repeated(text_size / 6);
        b.Item[j].comment = QString("Comment %1 ").arg(j + 1) + QString("note ").repeated(comment_size / 5);
    }
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const int count = argc > 1 ? QString(argv[1]).toInt() : 10000;
    QTemporaryDir dir;
    qb::bench::FixedClock clock;
    qb::bench::QuietPresenter quiet;
    BenchScreen screen;
    PdfPrinter printer(dir.path() + "/entry.pdf");
    qb::Platform platform;
    platform.clock = &clock;
    platform.messages = &quiet;
    platform.screen = &screen;
    platform.printer = &printer;

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
            e.transaction = n % 3 ? "Buy" : "Sell";
            e.price = qb::Currency(n) * 10000;
            e.entry_date = qb::ole_from_date(QDate(2000, 1, 1).addDays(n));
            e.other.present = qb::kTrue;
            e.other.text = QString("Details of entry %1: ").arg(n) + QString("some reasons ").repeated(20);
            fill_block(e.checklist[0], "Keep Focus", 5, 40, 30);
            fill_block(e.checklist[1], "Value", 5, 40, 30);
            gen.save_entry();
        }
        gen.tiponstartup = "n";
        gen.touronstartup = "n";
        gen.save_preferences();
    }

    auto program = qb::Main(platform, dir.path(), [](qb::Shell& s) {
        qb::register_journal_windows(s);
        qb::register_reports_windows(s);
    });
    if (!program) return std::fprintf(stderr, "start-up refused\n"), 1;
    qb::Shell& shell = *program->shell;
    qb::Core& core = *program->core;

    double report_best = 1e9;
    qint64 report_size = 0;
    for (int run = 0; run < 3; ++run) {
        auto* report = shell.window_as<qb::Report>(QStringLiteral("Report"));
        for (QCheckBox* b : {report->all_dates_checkbox, report->all_securities_checkbox, report->all_trans_checkbox})
            b->setChecked(true);
        QElapsedTimer t;
        t.start();
        report->generate_report(dir.path() + "/report.txt");
        report_best = std::min(report_best, ms(t));
        report_size = QFileInfo(dir.path() + "/report.txt").size();
        QCoreApplication::processEvents();
    }

    // Of that, reading every entry back through the core alone.
    double load_best = 1e9;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer t;
        t.start();
        for (int32_t i = 0; i <= core.maxSummarydata_index(); ++i) core.load_entry(i);
        load_best = std::min(load_best, ms(t));
    }

    // One entry of six blocks of 30 items, shown in the transaction editor.
    {
        int32_t slot;
        core.get_new_entry_slot(slot);
        core.current_entry = core.blank_entry;
        core.current_entry.index = slot;
        qb::SummaryEntry& e = core.current_entry.entry;
        e.Inuse = qb::kTrue;
        e.security = "Big Entry";
        e.transaction = "Buy";
        e.other.present = qb::kTrue;
        e.other.text = QString("detail ").repeated(400);
        for (int b = 0; b < 6; ++b) fill_block(e.checklist[size_t(b)], QString("List %1").arg(b), 30, 300, 600);
        core.save_entry();
        core.SummaryData[slot] = core.current_entry.entry;
        core.load_entry(slot);
    }
    auto* editor = shell.window_as<qb::AddEntry>(QStringLiteral("AddEntry"));
    editor->fill_display(1);
    double print_best = 1e9;
    int pages = 0;
    for (int run = 0; run < 3; ++run) {
        shell.unload(QStringLiteral("PrintEntry"));
        auto* print = shell.window_as<qb::PrintEntry>(QStringLiteral("PrintEntry"));
        QElapsedTimer t;
        t.start();
        bool ok = false;
        print->set_values_from_addentry(ok);
        if (!ok || !print->copy_data_and_print()) return std::fprintf(stderr, "print failed\n"), 1;
        const double took = ms(t);
        pages = int(print->page_slices().size());
        print_best = std::min(print_best, took / pages);
    }
    std::printf("entries: %d\n", count);
    std::printf("report of every entry (best of 3): %9.1f ms, %lld bytes\n", report_best, (long long)report_size);
    std::printf("  of which load_entry of each:     %9.1f ms\n", load_best);
    std::printf("entry layout and PDF output:       %9.1f ms per page, %d pages\n", print_best, pages);
    program.reset();
    return 0;
}
