// The checklist list driven through its controls: rows and highlight, the one-to-five
// rule of the Show-It boxes, keys, wheel and scroll bar, resize, opening the editor, the
// link, delete with its refusals, and when the marks reach the checklist file.
#include "checklists_fixture.h"

#include "shell/custom.h"
#include "support/file_faults.h"

#include <QDir>
#include <QPushButton>
#include <QWheelEvent>

using namespace qb;
using namespace qb::test;

class TestShowChecklists : public QObject {
    Q_OBJECT
private slots:
    void rows_show_the_listed_checklists();
    void one_to_five_rule_data();
    void one_to_five_rule();
    void keys_and_wheel_move_the_highlight();
    void scroll_bar_stays_on_listed_checklists();
    void resize_adds_rows_up_to_33();
    void double_click_opens_the_editor();
    void link_opens_the_web_page();
    void delete_refusals_data();
    void delete_refusals();
    void delete_keeps_the_record_with_its_flag();
    void marks_written_once_when_leaving();
    void close_box_keeps_the_marks();
    void marks_written_however_the_list_is_left_data();
    void marks_written_however_the_list_is_left();
    void failed_write_keeps_the_marks_pending();
    void mark_reaches_an_edit_opened_from_the_list();
    void bad_tables_show_without_harm();
    void delete_from_the_editor();
    void failed_delete_keeps_the_checklist_data();
    void failed_delete_keeps_the_checklist();
    void colour_change_reaches_both_windows();
};

void TestShowChecklists::rows_show_the_listed_checklists() {
    QList<ListDef> lists = ChecklistsFixture::numbered(40, 2);
    lists[3].name = QStringLiteral("   ");  // blanks only still lists, as an empty name
    ChecklistsFixture f(lists);
    f.core().Checklists[5].deleted = kTrue;  // stays out of the list
    ShowChecklists* l = f.open_list();
    QCOMPARE(f.core().current_screen, int(screen_checklists));
    QVERIFY(l->isVisible());
    const QStringList titles = f.shown_titles();
    QCOMPARE(titles.size(), 22);
    QCOMPARE(titles.first(), QStringLiteral("List 000"));
    QCOMPARE(titles[3], QString());
    QCOMPARE(titles[5], QStringLiteral("List 006"));
    QCOMPARE(l->Title_textbox[5]->property("Tag").toString(), QStringLiteral("6"));
    QCOMPARE(l->VScroll1->maximum(), 39);
    // Marked checklists in bold, the others not.
    QVERIFY(l->Title_textbox[0]->font().bold());
    QVERIFY(l->Check_to_display[0]->isChecked());
    QVERIFY(!l->Author_textbox[2]->font().bold());
    QVERIFY(!l->Check_to_display[2]->isChecked());
    QCOMPARE(l->Check_to_display[0]->toolTip(),
             QStringLiteral("Check to make this checklist available during transaction entry"));
    QCOMPARE(l->Double_click_label->text(),
             QStringLiteral("Double Click on the Checklist title to View / Edit  the Details of that Checklist"));
    // Opening the list highlights nothing until a row gets the focus.
    QCOMPARE(f.core().checklist_highlighted, false);
    f.click(l->Author_textbox[4]);
    QCOMPARE(f.core().checklist_highlighted, true);
    QCOMPARE(f.core().current_checklist_index, int16_t(4));
    QCOMPARE(f.core().current_checklist.Name, QStringLiteral("List 004"));
    QCOMPARE(l->VScroll1->value(), 4);
    QCOMPARE(l->Title_textbox[4]->palette().color(QPalette::Base), QColor(255, 255, 0));
    f.click(l->Title_textbox[6]);
    QCOMPARE(l->Title_textbox[4]->palette().color(QPalette::Base), QColor(255, 255, 255));
}

void TestShowChecklists::one_to_five_rule_data() {
    QTest::addColumn<int>("marked");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<bool>("checked_after");
    QTest::newRow("sixth mark refused") << 5 << 6 << "Warning: Only 5 CheckLists can be selected..Please uncheck one box "
                                                    "and re-check this box to select."
                                        << false;
    QTest::newRow("fifth mark taken") << 4 << 6 << "" << true;
    QTest::newRow("last mark kept") << 1 << 0 << "Warning: At least one Checklist must be selected" << true;
    QTest::newRow("one of two cleared") << 2 << 0 << "" << false;
    QTest::newRow("none marked: the first mark") << 0 << 3 << "" << true;
}

void TestShowChecklists::one_to_five_rule() {
    QFETCH(int, marked);
    QFETCH(int, row);
    QFETCH(QString, warning);
    QFETCH(bool, checked_after);
    ChecklistsFixture f(ChecklistsFixture::numbered(8, marked));
    ShowChecklists* l = f.open_list();
    f.click(l->Check_to_display[size_t(row)]);
    QCOMPARE(f.warnings(), warning.isEmpty() ? QStringList() : QStringList{warning});
    QCOMPARE(l->Check_to_display[size_t(row)]->isChecked(), checked_after);
    QCOMPARE(f.core().Checklists[row].ShowIt, int16_t(checked_after ? 1 : 0));
    QCOMPARE(l->Title_textbox[size_t(row)]->font().bold(), checked_after);
    int count = 0;
    for (const Checklist& c : std::as_const(f.core().Checklists)) count += c.ShowIt > 0;
    QVERIFY(count <= 5);
    if (marked == 5) {
        // Clearing one of the five makes room for the sixth.
        f.click(l->Check_to_display[0]);
        f.click(l->Check_to_display[size_t(row)]);
        QVERIFY(l->Check_to_display[size_t(row)]->isChecked());
        QCOMPARE(f.core().Checklists[row].ShowIt, int16_t(1));
        QCOMPARE(f.warnings().size(), 1);
    }
}

void TestShowChecklists::keys_and_wheel_move_the_highlight() {
    ChecklistsFixture f(ChecklistsFixture::numbered(40));
    ShowChecklists* l = f.open_list();
    QLineEdit* last = l->Title_textbox[21];
    f.click(last);
    QCOMPARE(f.core().current_checklist_index, int16_t(21));
    // Down on the last shown row scrolls by one and keeps the focus on the last row.
    QTest::keyClick(last, Qt::Key_Down);
    QCOMPARE(f.shown_titles().first(), QStringLiteral("List 001"));
    QCOMPARE(f.core().current_checklist_index, int16_t(22));
    QCOMPARE(QApplication::focusWidget(), l->Author_textbox[21]);
    // PageDown there scrolls by three, Enter by one more.
    QTest::keyClick(l->Author_textbox[21], Qt::Key_PageDown);
    QCOMPARE(f.core().current_checklist_index, int16_t(25));
    QCOMPARE(f.shown_titles().first(), QStringLiteral("List 004"));
    QTest::keyClick(l->Author_textbox[21], Qt::Key_Return);
    QCOMPARE(f.core().current_checklist_index, int16_t(26));
    // PageDown near the end stops at the last checklist.
    for (int i = 0; i < 6; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    QCOMPARE(f.core().current_checklist_index, int16_t(39));
    QCOMPARE(f.shown_titles().last(), QStringLiteral("List 039"));
    // Up on the first shown row brings the previous checklist into row 0.
    const int first = l->first_shown_index;
    f.click(l->Title_textbox[0]);
    QTest::keyClick(l->Title_textbox[0], Qt::Key_Up);
    QCOMPARE(l->first_shown_index, first - 1);
    QCOMPARE(f.core().current_checklist_index, int16_t(first - 1));
    QCOMPARE(f.shown_titles().first(), QStringLiteral("List %1").arg(first - 1, 3, 10, QChar(u'0')));
    // Within the page the arrow keys move the focus between rows.
    QTest::keyClick(l->Title_textbox[0], Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), l->Title_textbox[1]);
    // One wheel notch forward moves one up, back one down.
    auto wheel = [&](int delta) {
        QWidget* w = QApplication::focusWidget();
        QWheelEvent e(QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &e);
    };
    const int16_t at = f.core().current_checklist_index;
    wheel(120);
    QCOMPARE(f.core().current_checklist_index, int16_t(at - 1));
    wheel(-240);
    QCOMPARE(f.core().current_checklist_index, int16_t(at + 1));
}

void TestShowChecklists::scroll_bar_stays_on_listed_checklists() {
    ChecklistsFixture f(ChecklistsFixture::numbered(3));
    // A new checklist left without storing leaves a free element at the end of the table.
    f.press(button_new_checklist);
    f.toolbar(5);  // Cancel
    QCOMPARE(f.core().current_screen, int(screen_checklists));
    QCOMPARE(f.core().maxChecklists_index(), 3);
    ShowChecklists* l = f.list();
    QCOMPARE(l->VScroll1->maximum(), 2);
    f.click(l->Title_textbox[2]);
    QTest::keyClick(l->Title_textbox[2], Qt::Key_Down);
    QTest::keyClick(l->Title_textbox[2], Qt::Key_PageDown);
    QCOMPARE(f.shown_titles(), (QStringList{"List 000", "List 001", "List 002"}));
    QCOMPARE(f.core().current_checklist_index, int16_t(2));
}

void TestShowChecklists::resize_adds_rows_up_to_33() {
    ChecklistsFixture f(ChecklistsFixture::numbered(40));
    ShowChecklists* l = f.open_list();
    const int h0 = f.mdi->MDI_height_original;
    f.mdi->resize(f.mdi->width(), twips_to_px(h0 + 3 * 240));
    QCOMPARE(l->last_row_for_height, int16_t(21 + (f.mdi->height_twips() - h0) / 240));
    QCOMPARE(f.shown_titles().size(), l->last_row_for_height + 1);
    QCOMPARE(px_to_twips(l->VScroll1->height()), f.mdi->height_twips() - l->scroll_margin);
    f.mdi->resize(f.mdi->width(), twips_to_px(h0 + 40 * 240));
    QCOMPARE(l->last_row_for_height, int16_t(32));
    QCOMPARE(f.shown_titles().size(), 33);
    f.mdi->resize(f.mdi->width(), twips_to_px(h0 - 2000));
    QCOMPARE(l->last_row_for_height, int16_t(21));
    QCOMPARE(l->VScroll1->height(), twips_to_px(5295));
}

void TestShowChecklists::double_click_opens_the_editor() {
    ChecklistsFixture f(ChecklistsFixture::numbered(4));
    ShowChecklists* l = f.open_list();
    QTest::mouseDClick(l->Author_textbox[2], Qt::LeftButton);
    QCOMPARE(f.core().current_screen, int(screen_checklist_editor));
    QCOMPARE(f.core().back_screen, int(screen_checklists));
    QVERIFY(!l->isVisible());
    AddChecklist* e = f.editor();
    QVERIFY(e->isVisible());
    QCOMPARE(e->name_text->text(), QStringLiteral("List 002"));
    QCOMPARE(QApplication::focusWidget(), e->name_text);
    QCOMPARE(f.core().current_checklist_index, int16_t(2));
}

void TestShowChecklists::link_opens_the_web_page() {
    ChecklistsFixture f;
    ShowChecklists* l = f.open_list();
    QCOMPARE(l->WebPage->text(), QStringLiteral("(Click to Check Web Site for more Checklists)"));
    f.click(l->WebPage);
    QCOMPARE(f.fx.shell.urls.size(), 1);
    QCOMPARE(f.fx.shell.urls[0].path(), QStringLiteral("/checklists.html"));
    QCOMPARE(f.fx.shell.urls[0].query(), QStringLiteral("ref=qb"));
}

void TestShowChecklists::delete_refusals_data() {
    QTest::addColumn<int>("lists");
    QTest::addColumn<int>("marked");
    QTest::addColumn<int>("row");  // -1: no row highlighted
    QTest::addColumn<QString>("warning");
    QTest::newRow("nothing highlighted")
        << 3 << 1 << -1 << "Warning: No Checklist to Delete. Please highlight the Checklist to Delete, then press Delete again.";
    QTest::newRow("only one listed") << 1 << 1 << 0 << "Warning: You Must have at least one checklist to display. Delete not allowed.";
    QTest::newRow("the only marked one")
        << 2 << 1 << 0 << "Warning: You Must have at least one checklist to display. Delete not allowed.";
}

void TestShowChecklists::delete_refusals() {
    QFETCH(int, lists);
    QFETCH(int, marked);
    QFETCH(int, row);
    QFETCH(QString, warning);
    ChecklistsFixture f(ChecklistsFixture::numbered(lists, marked));
    const QByteArray before = f.file();
    ShowChecklists* l = f.open_list();
    if (row >= 0) f.click(l->Title_textbox[size_t(row)]);
    f.toolbar(3);
    QCOMPARE(f.warnings(), QStringList{warning});
    QCOMPARE(f.fx.messages.questions.size(), 0);
    QCOMPARE(f.file(), before);
    QCOMPARE(f.shown_titles().size(), lists);
}

void TestShowChecklists::delete_keeps_the_record_with_its_flag() {
    ChecklistsFixture f(ChecklistsFixture::numbered(3, 2));
    ShowChecklists* l = f.open_list();
    f.click(l->Title_textbox[1]);
    f.fx.messages.answers.enqueue(kAnswerNo);
    f.toolbar(3);
    QCOMPARE(f.fx.messages.questions.size(), 1);
    QCOMPARE(f.fx.messages.questions[0].second, QStringLiteral("Are you sure you want to DELETE the ENTIRE List 001 Checklist?"));
    QCOMPARE(f.fx.messages.styles[0], kStyleStop);
    QCOMPARE(f.stored(1).deleted, int16_t(0));

    f.click(l->Title_textbox[1]);
    f.fx.messages.answers.enqueue(kAnswerYes);
    f.toolbar(3);
    QCOMPARE(f.shown_titles(), (QStringList{"List 000", "List 002"}));
    QCOMPARE(f.core().checklist_highlighted, false);
    QCOMPARE(f.core().current_checklist.Name, QString());
    QCOMPARE(f.core().current_checklist_index, int16_t(0));
    QCOMPARE(f.core().current_screen, int(screen_checklists));
    QCOMPARE(f.records(), 3);
    QCOMPARE(f.stored(1).deleted, int16_t(-1));
    QCOMPARE(f.stored(1).name, QStringLiteral("List 001"));
    f.restart();
    f.open_list();
    QCOMPARE(f.shown_titles(), (QStringList{"List 000", "List 002"}));
}

void TestShowChecklists::marks_written_once_when_leaving() {
    ChecklistsFixture f(ChecklistsFixture::numbered(3));
    ShowChecklists* l = f.open_list();
    f.click(l->Check_to_display[2]);
    QCOMPARE(l->add_or_edit_ongoing, true);
    QCOMPARE(f.stored(2).show_it, int16_t(0));  // not yet written
    f.press(button_summary);
    QCOMPARE(f.core().current_screen, int(screen_summary));
    QCOMPARE(f.stored(2).show_it, int16_t(1));
    QCOMPARE(l->add_or_edit_ongoing, false);
    QCOMPARE(f.fx.messages.questions.size(), 0);
    // Without a change, leaving writes nothing at all.
    f.open_list();
    QVERIFY(QFile::remove(f.fx.path("chklist.dat")));
    f.press(button_summary);
    QVERIFY(!QFile::exists(f.fx.path("chklist.dat")));
}

void TestShowChecklists::close_box_keeps_the_marks() {
    ChecklistsFixture f(ChecklistsFixture::numbered(3));
    ShowChecklists* l = f.open_list();
    f.click(l->Check_to_display[1]);
    f.mdi->close();
    QCOMPARE(f.stored(1).show_it, int16_t(1));
}

void TestShowChecklists::marks_written_however_the_list_is_left_data() {
    QTest::addColumn<bool>("double_click");  // else the toolbar's Edit
    QTest::addColumn<QString>("then");
    QTest::newRow("double-click, Cancel") << true << "cancel";
    QTest::newRow("Edit, Cancel") << false << "cancel";
    QTest::newRow("double-click, leave unchanged") << true << "summary";
    QTest::newRow("Edit, leave unchanged") << false << "summary";
    QTest::newRow("double-click, close the program") << true << "close";
    QTest::newRow("Edit, close the program") << false << "close";
}

// A mark ticked on the list is stored when the list is left for the editor, whatever
// the editor is left by.
void TestShowChecklists::marks_written_however_the_list_is_left() {
    QFETCH(bool, double_click);
    QFETCH(QString, then);
    ChecklistsFixture f(ChecklistsFixture::numbered(3));
    ShowChecklists* l = f.open_list();
    f.click(l->Check_to_display[2]);
    QCOMPARE(f.stored(2).show_it, int16_t(0));
    if (double_click)
        QTest::mouseDClick(l->Title_textbox[1], Qt::LeftButton);
    else
        f.toolbar(4);
    QCOMPARE(f.core().current_screen, int(screen_checklist_editor));
    QCOMPARE(f.stored(2).show_it, int16_t(1));
    QVERIFY(!l->add_or_edit_ongoing);
    if (then == u"cancel")
        f.toolbar(5);
    else if (then == u"summary")
        f.press(button_summary);
    else
        f.mdi->close();
    QCOMPARE(f.fx.messages.questions.size(), 0);
    f.restart();
    QCOMPARE(f.core().Checklists[2].ShowIt, int16_t(1));
    QCOMPARE(f.core().Checklists[0].ShowIt, int16_t(1));
    QCOMPARE(f.stored(1).show_it, int16_t(0));
}

void TestShowChecklists::failed_write_keeps_the_marks_pending() {
    ChecklistsFixture f(ChecklistsFixture::numbered(3));
    ShowChecklists* l = f.open_list();
    f.click(l->Check_to_display[2]);
    const QByteArray before = f.file();
    QVERIFY(QFile::remove(f.fx.path("chklist.dat")));
    QVERIFY(QDir(f.fx.dir.path()).mkdir("chklist.dat"));
    f.press(button_summary);
    QVERIFY(f.warnings().value(0).startsWith("Error: Writing Checklist file: "));
    QCOMPARE(f.core().current_screen, int(screen_checklists));
    QCOMPARE(l->add_or_edit_ongoing, true);
    // Nor does the editor open over marks that could not be written.
    QTest::mouseDClick(l->Title_textbox[1], Qt::LeftButton);
    QCOMPARE(f.core().current_screen, int(screen_checklists));
    QCOMPARE(l->add_or_edit_ongoing, true);
    QVERIFY(QDir(f.fx.dir.path()).rmdir("chklist.dat"));
    write_file(f.fx.path("chklist.dat"), before);
    f.press(button_summary);
    QCOMPARE(f.core().current_screen, int(screen_summary));
    QCOMPARE(f.stored(2).show_it, int16_t(1));
}

void TestShowChecklists::mark_reaches_an_edit_opened_from_the_list() {
    ChecklistsFixture f(ChecklistsFixture::numbered(3));
    ShowChecklists* l = f.open_list();
    // The box's click highlights the row first, then changes the mark.
    f.click(l->Check_to_display[1]);
    QCOMPARE(f.core().current_checklist_index, int16_t(1));
    QCOMPARE(f.core().current_checklist.ShowIt, int16_t(1));
    f.toolbar(4);  // Edit opens the highlighted checklist
    AddChecklist* e = f.editor();
    QCOMPARE(f.core().current_screen, int(screen_checklist_editor));
    f.type(e->Copyright_text, QStringLiteral("(c) me"));
    f.save();
    QCOMPARE(f.stored(1).show_it, int16_t(1));
    QCOMPARE(f.core().Checklists[1].ShowIt, int16_t(1));
}

void TestShowChecklists::bad_tables_show_without_harm() {
    // A hundred checklists, none marked: every one can be reached, the first mark is taken.
    ChecklistsFixture f(ChecklistsFixture::numbered(100, 0));
    ShowChecklists* l = f.open_list();
    QCOMPARE(l->VScroll1->maximum(), 99);
    f.click(l->Title_textbox[0]);
    for (int i = 0; i < 40; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    QCOMPARE(f.core().current_checklist_index, int16_t(99));
    QCOMPARE(f.shown_titles().last(), QStringLiteral("List 099"));
    QCOMPARE(f.shown_titles().size(), 22);
    f.click(l->Check_to_display[21]);
    QCOMPARE(f.core().Checklists[99].ShowIt, int16_t(1));
    QCOMPARE(f.warnings(), QStringList());
    for (int i = 0; i < 40; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);
    QCOMPARE(f.shown_titles().first(), QStringLiteral("List 000"));
    f.press(button_summary);
    QCOMPARE(f.stored(99).show_it, int16_t(1));
    QCOMPARE(f.records(), 100);
}

void TestShowChecklists::delete_from_the_editor() {
    ChecklistsFixture f(ChecklistsFixture::numbered(3, 1));
    ShowChecklists* l = f.open_list();
    QTest::mouseDClick(l->Title_textbox[2], Qt::LeftButton);
    f.type(f.editor()->Copyright_text, "dropped with the checklist");
    f.fx.messages.answers.enqueue(kAnswerYes);
    f.toolbar(3);
    QCOMPARE(f.fx.messages.questions.size(), 1);
    QCOMPARE(f.core().current_screen, int(screen_checklists));
    QCOMPARE(f.shown_titles(), (QStringList{"List 000", "List 001"}));
    QCOMPARE(f.stored(2).deleted, int16_t(-1));
    QCOMPARE(f.editor()->add_or_edit_ongoing, false);
    f.press(button_summary);
    QCOMPARE(f.fx.messages.questions.size(), 1);
}

void TestShowChecklists::failed_delete_keeps_the_checklist_data() {
    QTest::addColumn<bool>("from_editor");
    QTest::newRow("from the list") << false;
    QTest::newRow("from the editor") << true;
}

// The file cannot take a delete: the checklist stays in the table as stored, so the next
// save, of the marks or of an edit, does not store it as deleted.
void TestShowChecklists::failed_delete_keeps_the_checklist() {
    QFETCH(bool, from_editor);
    ChecklistsFixture f(ChecklistsFixture::numbered(3, 2));
    const QByteArray before = f.file();
    ShowChecklists* l = f.open_list();
    if (from_editor)
        QTest::mouseDClick(l->Title_textbox[1], Qt::LeftButton);
    else
        f.click(l->Title_textbox[1]);
    f.fx.messages.answers.enqueue(kAnswerYes);
    {
        FailStep fail("rename chklist.dat.new");
        FaultScope scope(&fail);
        f.toolbar(3);
        QVERIFY(fail.failed);
    }
    QCOMPARE(f.fx.messages.questions.size(), 1);
    QCOMPARE(f.warnings().size(), 1);
    QVERIFY(f.warnings()[0].startsWith("Error: Writing Checklist file: "));
    QCOMPARE(f.file(), before);
    QCOMPARE(f.core().Checklists[1].deleted, int16_t(0));
    QCOMPARE(f.core().current_checklist.deleted, int16_t(0));

    if (from_editor) {
        f.type(f.editor()->Copyright_text, "(c) kept");
        f.save();
    } else {
        f.click(l->Check_to_display[2]);
        f.press(button_summary);
    }
    QCOMPARE(f.warnings().size(), 1);
    QCOMPARE(f.stored(1).deleted, int16_t(0));
    f.restart();
    f.open_list();
    QCOMPARE(f.shown_titles(), (QStringList{"List 000", "List 001", "List 002"}));
}

void TestShowChecklists::colour_change_reaches_both_windows() {
    ChecklistsFixture f(ChecklistsFixture::numbered(2));
    ShowChecklists* l = f.open_list();
    QTest::mouseDClick(l->Title_textbox[0], Qt::LeftButton);
    AddChecklist* e = f.editor();
    auto* custom = qobject_cast<Custom*>(f.shell->window(QStringLiteral("Custom")));
    QVERIFY(custom);
    custom->show();
    QTest::mouseClick(custom->Check1[3], Qt::LeftButton);  // Green
    QTest::mouseClick(custom->activate_button, Qt::LeftButton);
    const QColor green = color_from_ole(0xC000);
    QCOMPARE(l->Title_textbox[1]->palette().color(QPalette::Text), green);
    QCOMPARE(l->Author_textbox[32]->palette().color(QPalette::Text), green);
    QCOMPARE(e->Whyuse_text->palette().color(QPalette::Text), green);
    QCOMPARE(e->Text1[29]->palette().color(QPalette::Text), green);
}

QTEST_MAIN(TestShowChecklists)
#include "tst_showchecklists.moc"
