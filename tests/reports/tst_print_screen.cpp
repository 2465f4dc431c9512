// File, Print Screen by the visible screen: the printer dialog, the on-screen image of
// the plain screens, whole layouts with their fall-back, the browser panes' own printing,
// and the failures.
#include "checklists/checklists_windows.h"
#include "journal/title.h"
#include "market/chart.h"
#include "market/market_windows.h"
#include "platform/qt_platform.h"
#include "references/references_windows.h"
#include "report_fixture.h"
#include "reports/print_screen.h"
#include "shell/tips.h"
#include "support/webengine_test_main.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPushButton>
#include <QPrinterInfo>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QWebEngineView>
#include <QtTest>

using namespace qb;
using namespace qb::test;

namespace {

// A screen with a browser pane showing a small page.
QWidget* browser_screen(QWidget* parent, const QString& name, const QString& pane, const QString& page,
                        bool with_note) {
    auto* w = new QWidget(parent);
    w->setObjectName(name);
    w->resize(700, 500);
    auto* layout = new QVBoxLayout(w);
    if (with_note) {
        auto* note = new QLabel(QStringLiteral("Note - Web Page will be Printed on next Page"), w);
        note->setObjectName(QStringLiteral("Printeronly"));
        note->hide();
        layout->addWidget(note);
    }
    auto* view = new QWebEngineView(w);
    view->setObjectName(pane);
    layout->addWidget(view);
    QSignalSpy loaded(view, &QWebEngineView::loadFinished);
    view->setHtml(QStringLiteral("<html><body><p>") + page + QStringLiteral("</p></body></html>"));
    loaded.wait(20000);
    return w;
}

struct PaintCounter : QObject {
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
    int paints = 0;
};

// Answers the printer dialog as a user does: Print; then `replace` to the question whether
// to replace the file; Cancel when the dialog is still open after that. Each answer is
// given from an event of its own, as a click is, so the dialogs' own loops run between.
struct DialogUser : QObject {
    explicit DialogUser(bool replace) : replace_(replace) {
        connect(&timer_, &QTimer::timeout, this, &DialogUser::step);
        timer_.start(20);
    }
    void step() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (box == answered_) return;
            answered_ = box;
            questions << box->text();
            QAbstractButton* button = box->button(replace_ ? QMessageBox::Yes : QMessageBox::No);
            QTimer::singleShot(0, button, &QAbstractButton::click);
        } else if (auto* dialog = qobject_cast<QPrintDialog*>(modal)) {
            if (dialog == closing_) return;
            // Print first; a dialog still open after that is cancelled, and so is one that
            // stays up too long, so a test never waits on it.
            if (!print_pressed && ++polls_ < 500) {
                print_pressed = true;
                auto* buttons = dialog->findChild<QDialogButtonBox*>();
                QAbstractButton* print = buttons ? buttons->button(QDialogButtonBox::Ok) : nullptr;
                if (print) QTimer::singleShot(0, print, &QAbstractButton::click);
            } else {
                closing_ = dialog;
                cancel_pressed = true;
                QTimer::singleShot(0, dialog, &QDialog::reject);
            }
        }
    }
    QStringList questions;
    bool print_pressed = false;
    bool cancel_pressed = false;

private:
    bool replace_;
    int polls_ = 0;
    QPointer<QWidget> answered_, closing_;
    QTimer timer_;
};

struct ScreenPrint : ReportFixture {
    ScreenPrint() {
        register_journal_windows(*shell);
        register_checklists_windows(*shell);
        register_references_windows(*shell);
        mdi->show();
    }
    void print_on(int screen) {
        core().current_screen = screen;
        mdi->menu_item("mnuPrint")->trigger();
    }
};

} // namespace

class TestPrintScreen : public QObject {
    Q_OBJECT
private slots:
    void plain_screens_print_as_shown_data();
    void plain_screens_print_as_shown();
    void unused_codes_print_nothing();
    void cancel_prints_nothing();
    void layout_failure_prints_the_screen();
    void printer_failure();
    void tips_and_tour_leave();
    void web_page_editor_prints_window_then_page();
    void stock_idea_prints_page_with_its_own_prompt();
    void chart_prints_after_the_print_dialog();
    void existing_report_file_is_asked_about_data();
    void existing_report_file_is_asked_about();
};

void TestPrintScreen::plain_screens_print_as_shown_data() {
    QTest::addColumn<int>("screen");
    QTest::addColumn<QString>("window");
    QTest::newRow("entry list") << int(screen_summary) << "Title";
    QTest::newRow("checklist list") << int(screen_checklists) << "ShowChecklists";
    QTest::newRow("new file reference") << int(screen_new_file_reference) << "SaveFileReference";
    QTest::newRow("file reference") << int(screen_edit_file_reference) << "SaveFileReference";
}

void TestPrintScreen::plain_screens_print_as_shown() {
    QFETCH(int, screen);
    QFETCH(QString, window);
    ScreenPrint t;
    QWidget* w = t.shell->window(window);
    w->resize(640, 400);
    w->show();
    t.print_on(screen);
    QCOMPARE(t.fx.printer.dialogs, QStringList{"Quorbelix Print|" + t.core().data_path("QB_Report.prn")});
    QCOMPARE(t.fx.printer.documents.size(), 1);
    const QString pdf = t.fx.printer.documents[0];
    QCOMPARE(pdf_pages(pdf), 1);
    QVERIFY(pdf_ink(pdf) > 20);
    QVERIFY(t.fx.messages.boxes.isEmpty());
}

void TestPrintScreen::unused_codes_print_nothing() {
    ScreenPrint t;
    for (int code : {5, 13, -1}) t.print_on(code);
    QVERIFY(t.fx.printer.documents.isEmpty());
    QVERIFY(t.fx.messages.boxes.isEmpty());
}

void TestPrintScreen::cancel_prints_nothing() {
    ScreenPrint t;
    t.shell->window("Title")->show();
    t.fx.printer.cancel = true;
    t.print_on(screen_summary);
    QCOMPARE(t.fx.printer.dialogs.size(), 1);
    QVERIFY(t.fx.printer.documents.isEmpty());
    QVERIFY(t.fx.messages.boxes.isEmpty());
}

void TestPrintScreen::layout_failure_prints_the_screen() {
    // A call-notes screen without its boxes: the layout fails and the screen prints.
    ScreenPrint t;
    t.shell->register_window("SaveCallNotes", [&t]() -> QWidget* {
        auto* w = new QWidget(t.mdi->client_area());
        w->setObjectName("SaveCallNotes");
        w->resize(640, 400);
        auto* caption = new QLabel(QStringLiteral("Conference Call Notes"), w);
        caption->setStyleSheet(QStringLiteral("font-size: 40px"));
        caption->resize(600, 120);
        return w;
    });
    QWidget* editor = t.shell->window("SaveCallNotes");
    editor->show();
    t.print_on(screen_edit_call_notes);
    const QStringList texts = t.fx.messages.box_texts();
    QCOMPARE(texts.size(), 1);
    QVERIFY(texts[0].startsWith("Error: Unable to Print Full Call Notes Data. Error: "));
    QVERIFY(texts[0].endsWith(" Will now Print only visible Screen"));
    QCOMPARE(t.fx.printer.documents.size(), 1);
    QVERIFY(pdf_ink(t.fx.printer.documents[0]) > 20);
    QVERIFY(!t.shell->is_form_loaded("PrintEntry"));
}

void TestPrintScreen::printer_failure() {
    ScreenPrint t;
    t.shell->window("Title")->show();
    t.fx.printer.fail = true;
    t.print_on(screen_summary);
    QCOMPARE(t.fx.messages.box_texts(), QStringList{"Error: Unable to Print. Error: The printer could not start the document"});
    // A screen that is not open cannot print.
    t.fx.messages.boxes.clear();
    t.fx.printer.fail = false;
    t.print_on(screen_edit_file_reference);
    QCOMPARE(t.fx.messages.box_texts(), QStringList{"Error: Unable to Print. Error: The screen is not open"});
}

void TestPrintScreen::tips_and_tour_leave() {
    ScreenPrint t;
    t.shell->window("Title")->show();
    t.shell->tips()->show();
    t.core().tour_running = true;
    t.shell->window("Tour");
    t.print_on(screen_summary);
    QVERIFY(!t.shell->tips()->isVisible());
    QVERIFY(!t.core().tour_running);
    QCOMPARE(t.fx.printer.documents.size(), 1);
}

void TestPrintScreen::web_page_editor_prints_window_then_page() {
    ScreenPrint t;
    t.shell->register_window("SaveWebPage", [&t] {
        return browser_screen(t.mdi, "SaveWebPage", "WebBrowser1", "Saved article text", true);
    });
    QWidget* editor = t.shell->window("SaveWebPage");
    editor->show();
    // The note is drawn into the window's image.
    auto* note = editor->findChild<QLabel*>("Printeronly");
    PaintCounter painted;
    note->installEventFilter(&painted);
    t.print_on(screen_edit_web_page);
    QCOMPARE(t.fx.printer.dialogs.size(), 1);
    QCOMPARE(t.fx.printer.documents.size(), 2);
    QVERIFY(painted.paints > 0);
    QVERIFY(note->isHidden());
    QVERIFY2(pdf_ink(t.fx.printer.documents[0]) > 10, qPrintable(QString::number(pdf_ink(t.fx.printer.documents[0]))));
    QVERIFY(pdf_ink(t.fx.printer.documents[1]) > 10);
    QVERIFY(t.fx.messages.boxes.isEmpty());
}

void TestPrintScreen::stock_idea_prints_page_with_its_own_prompt() {
    ScreenPrint t;
    t.shell->register_window("viewweb", [&t] {
        return browser_screen(t.mdi, "viewweb", "brwWebBrowser", "Idea of the month", false);
    });
    t.shell->window("viewweb")->show();
    t.print_on(screen_stock_of_month);
    // No dialog of the program's own: the page's print asks.
    QCOMPARE(t.fx.printer.dialogs, QStringList{"|"});
    QCOMPARE(t.fx.printer.documents.size(), 1);
    QVERIFY2(pdf_ink(t.fx.printer.documents[0]) > 10, qPrintable(QString::number(pdf_ink(t.fx.printer.documents[0]))));
    // Cancelled there, nothing prints.
    t.fx.printer.cancel = true;
    t.print_on(screen_stock_of_month);
    QCOMPARE(t.fx.printer.documents.size(), 1);
    QVERIFY(t.fx.messages.boxes.isEmpty());
}

void TestPrintScreen::chart_prints_after_the_print_dialog() {
    // Print Chart shows the dialog of Print Screen, with the same file, before it prints.
    ScreenPrint t;
    register_market_windows(*t.shell);
    auto* chart = t.shell->window_as<Chart>("Chart");
    QVERIFY(chart);
    chart->show();
    t.fx.printer.cancel = true;
    QTest::mouseClick(chart->print_label, Qt::LeftButton);
    QVERIFY(t.fx.printer.documents.isEmpty());
    t.fx.printer.cancel = false;
    QTest::mouseClick(chart->print_label, Qt::LeftButton);
    t.shell->window("Title")->show();
    t.print_on(screen_summary);
    QCOMPARE(t.fx.printer.dialogs, QStringList(3, "Quorbelix Print|" + t.core().data_path("QB_Report.prn")));
    QCOMPARE(t.fx.printer.documents.size(), 2);
    QCOMPARE(pdf_pages(t.fx.printer.documents[0]), 1);
    QVERIFY(pdf_ink(t.fx.printer.documents[0]) > 20);
    QVERIFY(t.fx.messages.boxes.isEmpty());
}

void TestPrintScreen::existing_report_file_is_asked_about_data() {
    QTest::addColumn<bool>("chart");
    QTest::addColumn<bool>("replace");
    QTest::newRow("print screen, keep the file") << false << false;
    QTest::newRow("print screen, replace it") << false << true;
    QTest::newRow("print chart, keep the file") << true << false;
    QTest::newRow("print chart, replace it") << true << true;
}

void TestPrintScreen::existing_report_file_is_asked_about() {
    // The system's own printer dialog, with no printer installed: it prints to the file.
    QFETCH(bool, chart);
    QFETCH(bool, replace);
    if (!QPrinterInfo::availablePrinters().isEmpty()) QSKIP("A printer is installed: the dialog offers it, not the file");
    CoreFixture fx;
    QtPrinter printer;
    Platform platform = fx.platform();
    platform.printer = &printer;
    fx.core = std::make_unique<Core>(fx.dir.path(), platform);
    fx.start();
    fx.messages.boxes.clear();
    auto shell = std::make_unique<Shell>(*fx.core);
    register_journal_windows(*shell);
    register_reports_windows(*shell);
    register_market_windows(*shell);
    shell->end_program = [] {};
    shell->mdi()->show();
    const QString file = fx.core->data_path("QB_Report.prn");
    write_file(file, "The report printed before");

    DialogUser user(replace);
    if (chart) {
        auto* w = shell->window_as<Chart>("Chart");
        w->show();
        QTest::mouseClick(w->print_label, Qt::LeftButton);
    } else {
        shell->window("Title")->show();
        fx.core->current_screen = screen_summary;
        shell->mdi()->menu_item("mnuPrint")->trigger();
    }
    QVERIFY(user.print_pressed);
    QCOMPARE(user.cancel_pressed, !replace);
    QCOMPARE(user.questions.size(), 1);
    QVERIFY2(user.questions[0].contains("already exists"), qPrintable(user.questions[0]));
    if (replace)
        QVERIFY(read_file(file).startsWith("%PDF"));
    else
        QCOMPARE(read_file(file), QByteArray("The report printed before"));
    QVERIFY(fx.messages.boxes.isEmpty());
    shell.reset();
}

int main(int argc, char** argv) {
    prepare_webengine();
    QApplication app(argc, argv);
    TestPrintScreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_print_screen.moc"
