// The menu tree and the toolbar against their tables, the toolbar's routing by screen, and
// the menu handlers with logic of their own, driven through the fake dialogs and shell.
#include "shell_fixture.h"

#include "shell/tips.h"
#include "shell/user_update.h"

#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>
#include <QUrlQuery>

using namespace qb;
using namespace qb::test;

class TestMenus : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { f.reset(); }
    void menu_tree_data();
    void menu_tree();
    void menu_bar_order_and_hidden_popup();
    void toolbar_buttons_data();
    void toolbar_buttons();
    void new_and_view_items_press_bar_buttons_data();
    void new_and_view_items_press_bar_buttons();
    void toolbar_delete_data();
    void toolbar_delete();
    void toolbar_edit_and_tips();
    void calculator();
    void help_and_sec_filings();
    void backup();
    void restore();
    void export_checklist();
    void import_checklist();
    void windows_from_the_tools_menu();
    void about_box_and_wait_window();
    void about_box_and_wait_window_over_the_frame();

private:
    std::unique_ptr<ShellFixture> f;
};

void TestMenus::init() {
    f = std::make_unique<ShellFixture>();
    f->write_prefs();
    QVERIFY(f->start());
}

void TestMenus::menu_tree_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    const char* rows[][4] = {
        {"mnuFile", "mnuImportChecklist", "Import Checklist from file", "Ctrl+I"},
        {"mnuFile", "mnuExportChecklist", "Export Checklist to file", "Ctrl+E"},
        {"mnuFile", "mnuSeperator", "", ""},
        {"mnuFile", "mnuPrint", "Print Screen", ""},
        {"mnuFile", "mnuSeperator2", "", ""},
        {"mnuFile", "mnuBackup", "Backup Data", ""},
        {"mnuFile", "mnuRestore", "Restore from Backup", ""},
        {"mnuFile", "mnuSeperator4", "", ""},
        {"mnuFile", "mnuExit", "Exit", ""},
        {"mnuNew", "mnuNewBuy", "Buy Transaction", "Ctrl+B"},
        {"mnuNew", "mnuNewSell", "Sell Transaction", "Ctrl+L"},
        {"mnuNew", "mnuNewOther", "Other Transaction", "Ctrl+O"},
        {"mnuNew", "mnuNewFile", "File Reference", "Ctrl+F"},
        {"mnuNew", "mnuNewWeb", "Web Page Reference", "Ctrl+W"},
        {"mnuNew", "mnuCallNotes", "Conference Call Notes", "Ctrl+N"},
        {"mnuNew", "mnuNewChecklist", "Checklist", "Ctrl+H"},
        {"mnuView", "mnuSummary", "Summary Data", "F3"},
        {"mnuView", "mnuDetailed", "Detailed Data", "F4"},
        {"mnuView", "mnuStockOfMonth", "Stock of Month", "F5"},
        {"mnuView", "mnuChecklists", "Checklists", "F6"},
        {"mnuTools", "mnuWeb", "Internet Research", "F7"},
        {"mnuTools", "mnuChart", "Charts", "F8"},
        {"mnuTools", "mnuNews", "News", "F9"},
        {"mnuTools", "mnuCalc", "Calculator", ""},
        {"mnuTools", "mnuReport", "Create Reports", "Ctrl+R"},
        {"mnuTools", "mnuQuotes", "Quotes Window", "F11"},
        {"mnuTools", "mnuCustom", "Customize Preferences", ""},
        {"mnuHelp", "mnuContent", "Detailed Help", "F1"},
        {"mnuHelp", "mnuTips", "Context Related Tips", "F2"},
        {"mnuHelp", "mnuTour", "Quick Tour", ""},
        {"mnuHelp", "mnuAbout", "About", ""},
        {"mnuPopUp", "mnuPopChart", "Chart", ""},
        {"mnuPopUp", "mnuPopNews", "News", ""},
        {"mnuPopUp", "mnuSEC", "SEC Filings", ""},
    };
    // The row number is the item's place in its menu.
    for (const auto& r : rows) QTest::newRow(r[1]) << r[0] << r[1] << r[2] << r[3];
}

void TestMenus::menu_tree() {
    QFETCH(QString, menu);
    QFETCH(QString, name);
    QMenu* m = f->mdi()->menu(menu);
    QVERIFY(m);
    QAction* a = f->mdi()->menu_item(name);
    QVERIFY2(a, qPrintable(name));
    QVERIFY(m->actions().contains(a));
    QTEST(a->text(), "caption");
    QTEST(a->shortcut().toString(), "shortcut");
    QCOMPARE(a->isSeparator(), name.startsWith("mnuSeperator"));
}

void TestMenus::menu_bar_order_and_hidden_popup() {
    QStringList titles, names;
    for (QAction* a : f->mdi()->menuBar()->actions()) {
        titles << a->text();
        names << a->menu()->objectName();
    }
    QCOMPARE(titles, (QStringList{"File", "New", "View", "Tools", "Help"}));
    QCOMPARE(names, (QStringList{"mnuFile", "mnuNew", "mnuView", "mnuTools", "mnuHelp"}));
    QCOMPARE(f->mdi()->mnuPopUp()->title(), QStringLiteral("Pop Up"));
    // Order inside a menu follows the table.
    QStringList file;
    for (QAction* a : f->mdi()->menu("mnuFile")->actions()) file << a->objectName();
    QCOMPARE(file, (QStringList{"mnuImportChecklist", "mnuExportChecklist", "mnuSeperator", "mnuPrint", "mnuSeperator2",
                                "mnuBackup", "mnuRestore", "mnuSeperator4", "mnuExit"}));
}

void TestMenus::toolbar_buttons_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tooltip");
    QTest::newRow("1") << 1 << "Back" << "Go Back to previous screen";
    QTest::newRow("2") << 2 << "Forward" << "Go Forward to the screen you came Back from";
    QTest::newRow("3") << 3 << "Delete" << "Delete Data";
    QTest::newRow("4") << 4 << "Edit" << "Edit Highlighted";
    QTest::newRow("5") << 5 << "Cancel" << "Cancel any non-Saved changes";
    QTest::newRow("6") << 6 << "Save" << "Save the Data on Screen";
    QTest::newRow("7") << 7 << "Up" << "UP One Item";
    QTest::newRow("8") << 8 << "Down" << "DOWN One Item";
}

void TestMenus::toolbar_buttons() {
    QFETCH(int, index);
    QAction* a = f->mdi()->toolbar_button(index);
    QVERIFY(a);
    QCOMPARE(f->mdi()->Toolbar1()->actions().indexOf(a), index - 1);
    QTEST(a->text(), "caption");
    QTEST(a->toolTip(), "tooltip");
}

void TestMenus::new_and_view_items_press_bar_buttons_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("screen");
    QTest::newRow("buy") << "mnuNewBuy" << 5 << 1;
    QTest::newRow("sell") << "mnuNewSell" << 6 << 1;
    QTest::newRow("other") << "mnuNewOther" << 7 << 1;
    QTest::newRow("file") << "mnuNewFile" << 9 << 9;
    QTest::newRow("web") << "mnuNewWeb" << 8 << 3;
    QTest::newRow("call notes") << "mnuCallNotes" << 10 << 11;
    QTest::newRow("checklist") << "mnuNewChecklist" << 4 << 8;
    QTest::newRow("summary") << "mnuSummary" << 0 << 0;
    QTest::newRow("stock of month") << "mnuStockOfMonth" << 2 << 6;
    QTest::newRow("checklists") << "mnuChecklists" << 3 << 7;
}

void TestMenus::new_and_view_items_press_bar_buttons() {
    QFETCH(QString, item);
    f->click_button(3);
    f->trigger(item);
    QTEST(f->bar()->highlighted_button(), "button");
    QTEST(f->c().current_screen, "screen");
    if (item == "mnuNewSell")
        QVERIFY(f->stand_in("AddEntry")->calls.contains("set_current_AddEntry_display(2)"));
}

void TestMenus::toolbar_delete_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("expected");
    QTest::newRow("list") << 0 << "entry delete";
    QTest::newRow("stock idea: nothing to delete") << 2 << "";
    QTest::newRow("checklists") << 3 << "checklist delete";
    QTest::newRow("new buy: dropped") << 5 << "cancel";
    QTest::newRow("new call notes: dropped") << 10 << "cancel";
}

void TestMenus::toolbar_delete() {
    QFETCH(int, button);
    QFETCH(QString, expected);
    f->click_button(button);
    const int screen = f->c().current_screen;
    auto* title = f->stand_in<StandInTitle>("Title");
    auto* list = f->stand_in("ShowChecklists");
    title->calls.clear();
    list->calls.clear();
    f->toolbar(3);
    QCOMPARE(title->calls.contains("verify_entry_delete_and_save"), expected == "entry delete");
    QCOMPARE(list->calls.contains("verify_delete_and_save"), expected == "checklist delete");
    if (expected == "cancel") {
        QCOMPARE(f->c().current_screen, 0);
    } else {
        QCOMPARE(f->c().current_screen, screen);
    }
}

void TestMenus::toolbar_edit_and_tips() {
    f->c().current_tip_index = 2;
    // Edit on the list with no highlighted row does nothing at all, not even the tips.
    f->c().entry_highlighted = false;
    f->toolbar(4);
    QCOMPARE(f->c().current_tip_index, 2);
    QCOMPARE(f->c().current_screen, 0);
    // Any other click moves the tips to the toolbar context.
    f->toolbar(6);
    const int toolbar_tip = f->c().current_tip_index;
    f->c().current_tip_index = 2;
    f->toolbar(5);
    QCOMPARE(f->c().current_tip_index, toolbar_tip);
    // Save on an editor runs its guard.
    f->click_button(5);
    f->type_into("AddEntry", "security_name_textbox");
    f->messages.answers.enqueue(kAnswerYes);
    f->toolbar(6);
    QCOMPARE(f->messages.questions.size(), 1);
    QCOMPARE(f->c().current_screen, 1);
}

void TestMenus::calculator() {
    f->shell_opener.startable = {"galculator"};
    f->trigger("mnuCalc");
    QCOMPARE(f->shell_opener.programs, (QStringList{"gnome-calculator", "kcalc", "galculator"}));
    QVERIFY(f->messages.boxes.isEmpty());
    f->shell_opener.startable.clear();
    f->shell_opener.programs.clear();
    f->trigger("mnuCalc");
    QCOMPARE(f->shell_opener.programs.size(), 5);
    QCOMPARE(f->messages.box_texts().size(), 1);
    QVERIFY(f->messages.box_texts()[0].startsWith("Error: Unable to Launch Windows Calculator. Error: "));
}

void TestMenus::help_and_sec_filings() {
    f->trigger("mnuContent");
    QCOMPARE(f->shell_opener.documents, QStringList{f->c().data_path("Quorbelix.chm")});

    f->c().current_entry.entry.symbol = "";
    f->trigger("mnuSEC");
    QCOMPARE(f->shell_opener.urls.size(), 1);
    QCOMPARE(f->shell_opener.urls[0].host(), QStringLiteral("www.sec.gov"));
    // The symbol is typed by the user; it must stay one query value.
    f->c().current_entry.entry.symbol = " A&B#1 ";
    f->trigger("mnuSEC");
    QCOMPARE(f->shell_opener.urls.size(), 2);
    const QUrl url = f->shell_opener.urls[1];
    QCOMPARE(url.path(), QStringLiteral("/cgi-bin/browse-edgar"));
    QVERIFY(url.fragment().isEmpty());
    const QUrlQuery query(url);
    QCOMPARE(query.queryItemValue("CIK", QUrl::FullyDecoded), QStringLiteral("A&B#1"));
    QCOMPARE(query.queryItemValue("action"), QStringLiteral("getcompany"));
    QCOMPARE(query.queryItemValue("owner"), QStringLiteral("include"));
}

void TestMenus::backup() {
    // A cancelled picker ends silently.
    f->dialogs.next_folder.clear();
    f->trigger("mnuBackup");
    QCOMPARE(f->dialogs.calls,
             QStringList{"folder:1:Please Select or Create a Folder that will Contain your Backup Data Folder"});
    QVERIFY(f->messages.boxes.isEmpty());

    QTemporaryDir target;
    f->dialogs.next_folder = target.path();
    f->trigger("mnuBackup");
    QVERIFY(QFile::exists(target.path() + "/QB_BackupData/entries.dat"));
    QCOMPARE(f->messages.box_texts().last(),
             QStringLiteral("Information: Backup Data Folder 'QB_BackupData' Created for your data.\r\nData "
                            "Successfully Backed Up"));
    if (f->s().is_form_loaded("UserUpdate")) QVERIFY(!f->s().loaded_window("UserUpdate")->isVisible());
}

void TestMenus::restore() {
    // Anything but Yes ends before the picker.
    f->trigger("mnuRestore");
    QCOMPARE(f->messages.questions.size(), 1);
    QCOMPARE(f->messages.styles[0], kStyleStop);
    QVERIFY(f->dialogs.calls.isEmpty());

    // Yes, then a cancelled picker: silent.
    f->messages.answers.enqueue(kAnswerYes);
    f->trigger("mnuRestore");
    QCOMPARE(f->dialogs.calls,
             QStringList{"folder:0:Please Select a folder named:QB_BackupData that contains the data to Restore from."});
    QVERIFY(f->messages.boxes.isEmpty());

    // A folder whose name differs in case is refused with the explanation.
    QTemporaryDir target;
    QDir(target.path()).mkdir("qb_backupdata");
    f->messages.answers.enqueue(kAnswerYes);
    f->dialogs.next_folder = target.path() + "/qb_backupdata";
    f->trigger("mnuRestore");
    QCOMPARE(f->messages.box_texts().size(), 1);
    QVERIFY(f->messages.box_texts()[0].startsWith(
        "Error: The Folder containing your backup data was created by Quorbelix, and is named: QB_BackupData\r\n"));

    // A real backup restores and returns to the list.
    f->messages.boxes.clear();
    f->dialogs.next_folder = target.path();
    f->trigger("mnuBackup");
    f->click_button(3);
    f->messages.boxes.clear();
    f->messages.answers.enqueue(kAnswerYes);
    f->dialogs.next_folder = target.path() + "/QB_BackupData";
    f->trigger("mnuRestore");
    // The backup holds no saved checklist, so the reload says so before the end.
    QCOMPARE(f->messages.box_texts().last(), QStringLiteral("Information: Restore Complete"));
    QCOMPARE(f->c().current_screen, 0);
}

void TestMenus::export_checklist() {
    // Only from the checklist screens.
    f->trigger("mnuExportChecklist");
    QCOMPARE(f->messages.box_texts(),
             QStringList{"Warning: Please go to the Checklists Screen and Highlight the Checklist to Export."});
    QVERIFY(f->dialogs.calls.isEmpty());
    // A new checklist in the editor must be saved first.
    f->messages.boxes.clear();
    f->click_button(4);
    f->trigger("mnuExportChecklist");
    QCOMPARE(f->messages.box_texts(), QStringList{"Warning: Please Save the Checklist before Exporting to file."});
    f->toolbar(5);

    // On the list: the dialog names the checklist; cancel is silent.
    f->messages.boxes.clear();
    f->click_button(3);
    f->c().current_checklist_index = 0;
    f->trigger("mnuExportChecklist");
    QCOMPARE(f->dialogs.calls, QStringList{"save:Export Checklist: " + f->c().Checklists[0].Name.left(20)});
    QVERIFY(f->messages.boxes.isEmpty());
    // A name without extension gets ".txt".
    f->dialogs.next_save = f->path("exported");
    f->trigger("mnuExportChecklist");
    QVERIFY(QFile::exists(f->path("exported.txt")));
    // An index outside the table is reported and reset.
    f->c().current_checklist_index = 9;
    f->trigger("mnuExportChecklist");
    QCOMPARE(f->messages.box_texts().last(), QStringLiteral("Error: Checklist NOT available for Exporting, Error index: 9"));
    QCOMPARE(f->c().current_checklist_index, 0);
}

void TestMenus::import_checklist() {
    // Refused on the editor and on an unsaved new item, before any dialog.
    f->click_button(4);
    f->trigger("mnuImportChecklist");
    QVERIFY(f->messages.box_texts().last().startsWith("Warning: Please Click on the Checklists button to view all"));
    f->toolbar(5);
    f->click_button(9);
    f->trigger("mnuImportChecklist");
    QCOMPARE(f->messages.box_texts().last(), QStringLiteral("Warning: Please Save your Data before Importing a Checklist."));
    QVERIFY(f->dialogs.calls.isEmpty());
    f->toolbar(5);

    // Cancel is silent.
    f->messages.boxes.clear();
    f->trigger("mnuImportChecklist");
    QCOMPARE(f->dialogs.calls, QStringList{"open:Import Checklist from file"});
    QVERIFY(f->messages.boxes.isEmpty());

    // A round trip through an export file adds a checklist that scores nothing yet.
    f->click_button(3);
    f->c().current_checklist_index = 0;
    f->dialogs.next_save = f->path("one.txt");
    f->trigger("mnuExportChecklist");
    f->click_button(0);
    f->dialogs.next_open = f->path("one.txt");
    auto live = [this] {
        int n = 0;
        for (const Checklist& k : std::as_const(f->c().Checklists)) n += k.Inuse == kTrue && k.deleted == 0;
        return n;
    };
    const int before = live();
    f->trigger("mnuImportChecklist");
    QCOMPARE(live(), before + 1);
    const Checklist& added = f->c().Checklists[f->c().current_checklist_index];
    QCOMPARE(added.Inuse, kTrue);
    QCOMPARE(added.ShowIt, int16_t(0));
    QCOMPARE(added.Name, f->c().Checklists[0].Name);
    // From the list it shows the checklist list.
    QCOMPARE(f->c().current_screen, 7);
    QCOMPARE(f->bar()->highlighted_button(), 3);

    // A file that is no export is refused.
    write_file(f->path("bad.txt"), "nothing here");
    f->dialogs.next_open = f->path("bad.txt");
    f->trigger("mnuImportChecklist");
    QVERIFY(f->messages.box_texts().contains("Error: Checklist Not Imported"));
}

void TestMenus::windows_from_the_tools_menu() {
    const char* rows[][2] = {{"mnuWeb", "Research"}, {"mnuChart", "Chart"},     {"mnuNews", "News"},
                             {"mnuQuotes", "Quotes"}, {"mnuCustom", "Custom"},  {"mnuTips", "Tips"},
                             {"mnuAbout", "Aboutbox"}, {"mnuReport", "Report"}, {"mnuPopChart", "Chart"}};
    for (const auto& r : rows) {
        f->trigger(r[0]);
        QVERIFY2(f->s().loaded_window(r[1]) && f->s().loaded_window(r[1])->isVisible(), r[0]);
    }
    QCOMPARE(f->s().loaded_window("Report")->windowModality(), Qt::ApplicationModal);
    // The report is a modal command: it first hides a visible tips window.
    f->trigger("mnuTips");
    f->trigger("mnuReport");
    QVERIFY(!f->s().loaded_window("Tips")->isVisible());
}

void TestMenus::about_box_and_wait_window() {
    f->trigger("mnuAbout");
    QWidget* about = f->s().loaded_window("Aboutbox");
    QCOMPARE(about->windowTitle(), QStringLiteral("About Quorbelix"));
    QCOMPARE(about->findChild<QLabel*>("version_label")->text(), QStringLiteral("Version: 4.03"));
    QTest::mouseClick(about->findChild<QPushButton*>("Close"), Qt::LeftButton);
    QVERIFY(!f->s().is_form_loaded("Aboutbox"));

    UserUpdate* wait = f->s().user_update();
    QCOMPARE(wait->Label1->text(), QStringLiteral("Please Wait..."));
    wait->set_message("Please Wait, we are Getting News for: ABC", wait_internet);
    wait->set_message("Please Wait. Web Page being Saved.", wait_save_web_page);
    QVERIFY(wait->isVisible());
    QVERIFY(wait->Picture1->isVisible());
    QVERIFY(!wait->Picture2->isVisible());
    QCOMPARE(wait->Label1->text(), QStringLiteral("Please Wait. Web Page being Saved."));
    QVERIFY(wait->windowFlags() & Qt::WindowStaysOnTopHint);
}

// Both come up centred over the frame, wherever it stands; a wait window that is up
// already stays where it is.
void TestMenus::about_box_and_wait_window_over_the_frame() {
    MDIMain* frame = f->mdi();
    auto centred_over_frame = [frame](QWidget* w) {
        const QRect outer = frame->frameGeometry();
        const QRect inner = w->frameGeometry();
        const QPoint off = inner.center() - outer.center();
        return outer.contains(inner) && std::abs(off.x()) <= 1 && std::abs(off.y()) <= 1;
    };
    frame->move(230, 140);
    f->trigger("mnuAbout");
    QWidget* about = f->s().loaded_window("Aboutbox");
    QVERIFY(about->isVisible());
    QVERIFY2(centred_over_frame(about), qPrintable(QStringLiteral("%1,%2").arg(about->x()).arg(about->y())));

    frame->move(40, 20);
    UserUpdate* wait = f->s().user_update();
    wait->set_message("Please Wait. Web Page being Saved.", wait_save_web_page);
    QVERIFY(wait->isVisible());
    QVERIFY2(centred_over_frame(wait), qPrintable(QStringLiteral("%1,%2").arg(wait->x()).arg(wait->y())));
    wait->move(5, 5);
    wait->set_message("Please Wait...Backup In Progress.", wait_backup_restore);
    QCOMPARE(wait->pos(), QPoint(5, 5));
    // Shown again later, it comes up over the frame again.
    wait->hide();
    frame->move(120, 60);
    wait->set_message("Please Wait, we are Getting News for: ABC", wait_internet);
    QVERIFY(centred_over_frame(wait));
}

QTEST_MAIN(TestMenus)
#include "tst_menus.moc"
