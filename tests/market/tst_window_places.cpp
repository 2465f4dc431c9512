// Where the program's windows come up on a 1280 x 1024 screen: the message boxes and
// dialogs that the core asks for stand over the window they belong to, wherever the frame
// stands, and the small windows beside the frame stay whole on the screen.
#include "journal/addentry.h"
#include "journal/title.h"
#include "market/market_windows.h"
#include "market/research.h"
#include "market/viewweb.h"
#include "shell/command.h"
#include "shell/mdimain.h"
#include "shell/shell.h"
#include "support/fakes.h"
#include "support/offscreen_screen.h"
#include "support/screens_shell.h"
#include "support/shown_boxes.h"
#include "support/webengine_test_main.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>

using namespace qb;
using namespace qb::test;

namespace {

// Made before the shell and gone after it, so that every box until the end is recorded.
struct Recorders {
    ShownBoxes boxes;
    ShownDialogs dialogs;
};

// The real shell with the entry list, the editors and the market windows, on a core that
// shows its boxes and dialogs through the Qt presenter and dialogs.
struct PlacesFixture : Recorders, ScreensShell {
    PlacesFixture()
        : ScreensShell([](Shell& s) {
              register_journal_windows(s);
              register_market_windows(s);
          }) {
        Platform p = fx.platform();
        p.messages = &boxes;
        p.dialogs = &dialogs;
        fx.core = std::make_unique<Core>(fx.dir.path(), p);
        fx.start();
        open_shell();
        boxes.shown.clear();  // what the start said
    }
    ~PlacesFixture() { shell.reset(); }
    void trigger(const char* item) { mdi->menu_item(QString::fromLatin1(item))->trigger(); }
    // The first box or dialog shown whose text starts so.
    std::optional<ShownBox> shown(const QString& start) const {
        for (const QList<ShownBox>* list : {&boxes.shown, &dialogs.shown})
            for (const ShownBox& b : *list)
                if (b.text.startsWith(start)) return b;
        return std::nullopt;
    }
    QStringList all_shown() const {
        QStringList texts;
        for (const QList<ShownBox>* list : {&boxes.shown, &dialogs.shown})
            for (const ShownBox& b : *list) texts << b.text.left(40);
        return texts;
    }
};

QRect screen_area(const QWidget* w) { return w->screen()->availableGeometry(); }

} // namespace

class TestWindowPlaces : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void boxes_over_their_window_data();
    void boxes_over_their_window();
    void small_windows_inside_the_screen_data();
    void small_windows_inside_the_screen();
};

void TestWindowPlaces::initTestCase() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QVERIFY2(screen.width() >= 1280 && screen.height() >= 1024,
             qPrintable(QStringLiteral("a screen of %1 x %2").arg(screen.width()).arg(screen.height())));
}

void TestWindowPlaces::boxes_over_their_window_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QPoint>("frame_at");  // where the frame is moved first, off the screen's middle
    QTest::addColumn<QString>("box");      // how the box's text or the dialog's title starts
    QTest::addColumn<QString>("owner");    // the window it belongs to
    const QPoint top_left(20, 30);
    const QPoint bottom_right(460, 440);
    const QString backed_up = "Backup Data Folder 'QB_BackupData' Created";
    QTest::newRow("delete question") << "delete" << top_left << "Are you sure you want to DELETE this item?" << "MDIMain";
    QTest::newRow("restore warning") << "restore" << bottom_right << "WARNING: Restoring your data" << "MDIMain";
    QTest::newRow("restore folder picker") << "restore, Yes" << top_left << "Please Select a folder named:QB_BackupData"
                                           << "MDIMain";
    QTest::newRow("restore of a wrong folder") << "restore, Yes, wrong folder" << bottom_right
                                               << "Error: The Folder containing your backup data" << "MDIMain";
    QTest::newRow("restore complete") << "backup, restore" << top_left << "Information: Restore Complete" << "MDIMain";
    QTest::newRow("backup folder picker") << "backup, cancel" << bottom_right
                                          << "Please Select or Create a Folder that will Contain" << "MDIMain";
    QTest::newRow("backup done") << "backup" << top_left << "Information: " + backed_up << "MDIMain";
    QTest::newRow("import picker") << "import" << bottom_right << "Import Checklist from file" << "MDIMain";
    QTest::newRow("stock idea error") << "stock idea" << top_left << "Error: Error Downloading Stock Idea" << "MDIMain";
    QTest::newRow("exit question") << "exit" << bottom_right << "Entry not Valid. Data NOT Saved." << "MDIMain";
    // A small window's own message, asked while the user is in it.
    QTest::newRow("research message") << "research" << top_left << "Error: Please type in a valid web address"
                                      << "Research";
}

// The boxes come up centred over their window, not over the middle of the screen.
void TestWindowPlaces::boxes_over_their_window() {
    QFETCH(QString, action);
    QFETCH(QPoint, frame_at);
    QFETCH(QString, box);
    QFETCH(QString, owner);
    PlacesFixture f;
    f.mdi->move(frame_at);
    QTemporaryDir backups;
    Core& c = f.core();
    if (action == u"delete") {
        f.press(button_summary);
        SummaryEntry e;
        e.Inuse = kTrue;
        e.security = "Acme";
        e.transaction = "Buy";
        e.file_idx = 1;
        c.SummaryData.append(e);
        c.current_entry.index = c.maxSummarydata_index();
        c.current_entry.entry = e;
        c.entry_highlighted = true;
        f.mdi->toolbar_button(3)->trigger();
    } else if (action.startsWith(u"restore")) {
        if (action.contains(u"Yes")) f.boxes.answers.enqueue(QMessageBox::Yes);
        if (action.contains(u"wrong folder")) f.dialogs.next_folder = backups.path();
        f.trigger("mnuRestore");
    } else if (action.startsWith(u"backup")) {
        if (!action.contains(u"cancel")) f.dialogs.next_folder = backups.path();
        f.trigger("mnuBackup");
        if (action.contains(u"restore")) {
            QVERIFY(f.shown("Information: Backup Data Folder"));
            f.boxes.answers.enqueue(QMessageBox::Yes);
            f.dialogs.next_folder = backups.filePath("QB_BackupData");
            f.trigger("mnuRestore");
        }
    } else if (action == u"import") {
        f.press(button_summary);
        f.trigger("mnuImportChecklist");
    } else if (action == u"stock idea") {
        auto* view = f.shell->window_as<viewweb>(QStringLiteral("viewweb"));
        view->page_address = QUrl(QStringLiteral("http://127.0.0.1:9/stockidea/index.htm"));
        f.press(button_stock_of_month);
    } else if (action == u"exit") {
        f.press(button_buy);
        auto* editor = f.shell->window_as<AddEntry>(QStringLiteral("AddEntry"));
        editor->Other_info_textbox->setFocus();
        QTest::keyClicks(editor->Other_info_textbox, "no name yet");
        f.boxes.answers.enqueue(QMessageBox::Yes);  // stays to correct it
        f.trigger("mnuExit");
    } else if (action == u"research") {
        f.trigger("mnuWeb");
        auto* research = f.shell->window_as<Research>(QStringLiteral("Research"));
        QVERIFY(QTest::qWaitForWindowActive(research));  // the user works in it
        research->Web_url[0]->clear();
        QTest::mouseClick(research->Go_Button[0], Qt::LeftButton);
    }

    const std::optional<ShownBox> shown = f.shown(box);
    QVERIFY2(shown, qPrintable(f.all_shown().join(u'|')));
    QWidget* over = f.shell->loaded_window(owner);
    QVERIFY(over);
    QCOMPARE(shown->over, over);
    QVERIFY(shown->over_visible);
    // Centred over it, give or take half a title bar; the screen's middle is far away.
    const QPoint off = shown->frame.center() - over->frameGeometry().center();
    QVERIFY2(std::abs(off.x()) <= 20 && std::abs(off.y()) <= 20,
             qPrintable(QStringLiteral("centred at %1,%2, its window at %3,%4")
                            .arg(shown->frame.center().x())
                            .arg(shown->frame.center().y())
                            .arg(over->frameGeometry().center().x())
                            .arg(over->frameGeometry().center().y())));
    QVERIFY(screen_area(over).contains(shown->frame));
}

void TestWindowPlaces::small_windows_inside_the_screen_data() {
    QTest::addColumn<QString>("menu_item");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QPoint>("frame_at");
    QTest::addColumn<bool>("beside");  // room for it right of the frame
    QTest::newRow("News, frame at the left") << "mnuNews" << "News" << QPoint(0, 0) << false;
    QTest::newRow("News, frame low on the screen") << "mnuNews" << "News" << QPoint(300, 560) << false;
    QTest::newRow("Quotes, frame at the left") << "mnuQuotes" << "Quotes" << QPoint(0, 0) << true;
    QTest::newRow("Quotes, frame to the right") << "mnuQuotes" << "Quotes" << QPoint(200, 100) << false;
    QTest::newRow("Quotes, frame at the right edge") << "mnuQuotes" << "Quotes" << QPoint(480, 0) << false;
}

// A small window comes up right of the frame, as far as the screen allows: its border too
// stays on the screen.
void TestWindowPlaces::small_windows_inside_the_screen() {
    QFETCH(QString, menu_item);
    QFETCH(QString, window);
    QFETCH(QPoint, frame_at);
    QFETCH(bool, beside);
    PlacesFixture f;
    f.mdi->move(frame_at);
    const QRect frame = f.mdi->frameGeometry();
    f.mdi->menu_item(menu_item)->trigger();
    QWidget* w = f.shell->loaded_window(window);
    QVERIFY(w && w->isVisible());
    const QRect outer = w->frameGeometry();
    const QRect screen = screen_area(w);
    QVERIFY2(screen.contains(outer), qPrintable(QStringLiteral("%1 at %2,%3 to %4,%5 on a screen to %6,%7")
                                                    .arg(window)
                                                    .arg(outer.left())
                                                    .arg(outer.top())
                                                    .arg(outer.right())
                                                    .arg(outer.bottom())
                                                    .arg(screen.right())
                                                    .arg(screen.bottom())));
    if (beside)
        QCOMPARE(outer.left(), frame.right() + 1);
    else
        QCOMPARE(outer.right(), screen.right());
    // Below the frame's top, unless that would take it past the screen's bottom.
    if (outer.bottom() < screen.bottom()) QCOMPARE(outer.top(), frame.top() + 40);
}

int main(int argc, char** argv) {
    prepare_webengine();
    use_offscreen_screen(1280, 1024);
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestWindowPlaces tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_window_places.moc"
