#include "reports/print_screen.h"

#include "core/core.h"
#include "reports/print_entry.h"
#include "shell/screen.h"
#include "shell/shell.h"
#include "shell/tour.h"

#include <QEventLoop>
#include <QPainter>
#include <QPrinter>
#include <QTimer>
#include <QWebEngineView>
#include <stdexcept>

namespace qb {
namespace {

constexpr int kBrowserPrintTimeoutMs = 120000;

QPrinter* start_printer() {
    Printer* source = core().platform().printer;
    QPrinter* printer = source ? source->printer() : nullptr;
    if (!printer) throw std::runtime_error("No printer is available");
    return printer;
}

void draw_window_image(QWidget* window) {
    if (!window) throw std::runtime_error("The screen is not open");
    QPrinter* printer = start_printer();
    // At the screen's own resolution the window draws as it does on screen, its text kept
    // as text; only a window wider than the page is made smaller.
    const int resolution = printer->resolution();
    printer->setResolution(window->logicalDpiX());
    QPainter painter;
    const bool started = painter.begin(printer);
    if (started) {
        const QRectF page = printer->pageRect(QPrinter::DevicePixel);
        if (window->width() > page.width()) painter.scale(page.width() / window->width(), page.width() / window->width());
        window->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    }
    const bool finished = started && painter.end();
    // The printer keeps its own resolution for the next print.
    printer->setResolution(resolution);
    if (!started) throw std::runtime_error("The printer could not start the document");
    if (!finished) throw std::runtime_error("The printer could not finish the document");
}

// The browser pane prints its page itself; this waits for it to finish.
void print_browser_page(QWidget* screen, const char* pane_name) {
    auto* pane = screen ? screen->findChild<QWebEngineView*>(QString::fromLatin1(pane_name)) : nullptr;
    if (!pane) throw std::runtime_error("The page is not shown");
    QPrinter* printer = start_printer();
    QEventLoop loop;
    bool done = false, printed = false;
    auto connection = QObject::connect(pane, &QWebEngineView::printFinished, &loop, [&](bool success) {
        done = true;
        printed = success;
        loop.quit();
    });
    QTimer::singleShot(kBrowserPrintTimeoutMs, &loop, &QEventLoop::quit);
    pane->print(printer);
    if (!done) loop.exec(QEventLoop::ExcludeUserInputEvents);
    QObject::disconnect(connection);
    if (!done) throw std::runtime_error("The page did not finish printing");
    if (!printed) throw std::runtime_error("The page could not be printed");
}

using Layout = void (PrintEntry::*)(bool&);

// Lays the editor out on a fresh print window and prints it, or the editor as it shows.
void print_whole(const QString& editor, Layout layout) {
    Shell& s = shell();
    // A print never starts from what an earlier one left on the canvas.
    s.unload(QStringLiteral("PrintEntry"));
    auto* print = s.window_as<PrintEntry>(QStringLiteral("PrintEntry"));
    if (!print) throw std::runtime_error("The print layout is not available");
    bool ok = false;
    (print->*layout)(ok);
    if (ok)
        print->copy_data_and_print();
    else
        draw_window_image(s.loaded_window(editor));
    s.unload(QStringLiteral("PrintEntry"));
}

} // namespace

bool choose_print_printer(Printer& printer) {
    return printer.choose_printer(QStringLiteral("Quorbelix Print"), core().data_path(QStringLiteral("QB_Report.prn")));
}

void print_window_as_shown(QWidget* window) {
    Printer* printer = core().platform().printer;
    if (!printer || !choose_print_printer(*printer)) return;
    try {
        draw_window_image(window);
    } catch (const std::exception& e) {
        core().show_message(msg_error, QStringLiteral("Unable to Print. Error: ") + QString::fromUtf8(e.what()));
    }
}

void print_screen_command() {
    Core& c = core();
    Shell& s = shell();
    if (c.tour_running && s.is_form_loaded(QStringLiteral("Tour"))) s.tour()->end_tour_early();
    if (QWidget* tips = s.loaded_window(QStringLiteral("Tips")); tips && tips->isVisible()) tips->hide();
    Printer* printer = c.platform().printer;
    if (!printer) return;
    const int screen = c.current_screen;
    if (screen != screen_stock_of_month && !choose_print_printer(*printer)) return;
    try {
        switch (screen) {
        case screen_summary: draw_window_image(s.loaded_window(QStringLiteral("Title"))); break;
        case screen_new_transaction:
        case screen_edit_transaction: print_whole(QStringLiteral("AddEntry"), &PrintEntry::set_values_from_addentry); break;
        case screen_new_web_page:
        case screen_edit_web_page: {
            QWidget* editor = s.loaded_window(QStringLiteral("SaveWebPage"));
            QWidget* note = editor ? editor->findChild<QWidget*>(QStringLiteral("Printeronly")) : nullptr;
            if (note) note->show();
            try {
                draw_window_image(editor);
            } catch (...) {
                if (note) note->hide();
                throw;
            }
            if (note) note->hide();
            print_browser_page(editor, "WebBrowser1");
            break;
        }
        case screen_stock_of_month: {
            QWidget* viewer = s.loaded_window(QStringLiteral("viewweb"));
            // The page's own print asks the user first.
            if (!printer->choose_printer(QString(), QString())) return;
            print_browser_page(viewer, "brwWebBrowser");
            break;
        }
        case screen_checklists: draw_window_image(s.loaded_window(QStringLiteral("ShowChecklists"))); break;
        case screen_checklist_editor:
            print_whole(QStringLiteral("AddChecklist"), &PrintEntry::set_values_from_addchecklist);
            break;
        case screen_new_file_reference:
        case screen_edit_file_reference: draw_window_image(s.loaded_window(QStringLiteral("SaveFileReference"))); break;
        case screen_new_call_notes:
        case screen_edit_call_notes:
            print_whole(QStringLiteral("SaveCallNotes"), &PrintEntry::set_values_from_SaveCallNotes);
            break;
        default: break;
        }
    } catch (const std::exception& e) {
        c.show_message(msg_error, QStringLiteral("Unable to Print. Error: ") + QString::fromUtf8(e.what()));
    }
}

} // namespace qb
