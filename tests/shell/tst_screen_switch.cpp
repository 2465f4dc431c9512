// The command bar's screen switch: what each button opens, the save-before-leave guard,
// opening entries and checklists for editing, and the bar's resizing.
#include "shell_fixture.h"

using namespace qb;
using namespace qb::test;

class TestScreenSwitch : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { f.reset(); }
    void buttons_data();
    void buttons();
    void vetoing_editor_keeps_everything();
    void editor_that_lets_go_drops_its_change();
    void details_only_from_the_lists();
    void details_with_nothing_to_open_keeps_the_list();
    void edit_entry_opens_the_editor_of_its_kind_data();
    void edit_entry_opens_the_editor_of_its_kind();
    void checklist_list_writes_show_it_changes_before_leaving();
    void summary_twice_resets_the_list();
    void resize_reaches_the_bar_and_the_visible_screen();

private:
    std::unique_ptr<ShellFixture> f;
};

void TestScreenSwitch::init() {
    f = std::make_unique<ShellFixture>();
    f->write_prefs();
    QVERIFY(f->start());
}

void TestScreenSwitch::buttons_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("screen");
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("up_down");
    QTest::newRow("0 summary") << 0 << 0 << "Title" << true;
    QTest::newRow("2 stock idea") << 2 << 6 << "viewweb" << false;
    QTest::newRow("3 checklists") << 3 << 7 << "ShowChecklists" << false;
    QTest::newRow("4 new checklist") << 4 << 8 << "AddChecklist" << false;
    QTest::newRow("5 buy") << 5 << 1 << "AddEntry" << false;
    QTest::newRow("6 sell") << 6 << 1 << "AddEntry" << false;
    QTest::newRow("7 other") << 7 << 1 << "AddEntry" << false;
    QTest::newRow("8 web page") << 8 << 3 << "SaveWebPage" << false;
    QTest::newRow("9 file reference") << 9 << 9 << "SaveFileReference" << false;
    QTest::newRow("10 call notes") << 10 << 11 << "SaveCallNotes" << false;
}

void TestScreenSwitch::buttons() {
    QFETCH(int, button);
    QFETCH(QString, window);
    f->click_button(3);  // leave the list first, so every row is a real switch
    f->click_button(button);
    QTEST(f->c().current_screen, "screen");
    QCOMPARE(f->visible_screen(), window);
    QCOMPARE(f->bar()->highlighted_button(), button);
    QCOMPARE(f->bar()->focused_button, button);
    QCOMPARE(f->c().back_available, true);
    QCOMPARE(f->c().back_screen, 7);
    QTEST(f->mdi()->toolbar_button(7)->isVisible(), "up_down");
    QTEST(f->mdi()->toolbar_button(8)->isVisible(), "up_down");
    // After the first switch all eight screens exist.
    for (const QString& n : Shell::screen_names()) QVERIFY2(f->s().is_form_loaded(n), qPrintable(n));
}

void TestScreenSwitch::vetoing_editor_keeps_everything() {
    f->click_button(5);
    QCOMPARE(f->c().current_screen, 1);
    f->type_into("AddEntry", "security_name_textbox");
    f->messages.answers.enqueue(kAnswerYes);  // correct the data: stay
    f->click_button(3);
    QCOMPARE(f->messages.questions.size(), 1);
    QVERIFY(f->messages.questions[0].second.startsWith("Entry not Valid. Data NOT Saved. "));
    QCOMPARE(f->c().current_screen, 1);
    QCOMPARE(f->visible_screen(), QStringLiteral("AddEntry"));
    QCOMPARE(f->bar()->highlighted_button(), 5);
    QCOMPARE(f->c().back_screen, 0);
    QCOMPARE(f->stand_in<StandInAddEntry>("AddEntry")->add_or_edit_ongoing, true);
}

void TestScreenSwitch::editor_that_lets_go_drops_its_change() {
    f->click_button(9);
    f->type_into("SaveFileReference", "security_name");
    f->messages.answers.enqueue(kAnswerNo);
    f->click_button(2);
    QCOMPARE(f->c().current_screen, 6);
    QCOMPARE(f->c().back_screen, 9);
    QCOMPARE(f->visible_screen(), QStringLiteral("viewweb"));
    // Nothing is left to ask about.
    f->click_button(9);
    f->click_button(0);
    QCOMPARE(f->messages.questions.size(), 1);
}

void TestScreenSwitch::details_only_from_the_lists() {
    f->click_button(2);
    f->c().back_screen = 42;
    f->click_button(1);
    QCOMPARE(f->c().current_screen, 6);
    QCOMPARE(f->visible_screen(), QStringLiteral("viewweb"));
    QCOMPARE(f->c().back_screen, 42);
    QCOMPARE(f->bar()->highlighted_button(), 2);

    // From the checklist list it opens the current checklist, highlighted row or not.
    f->click_button(3);
    f->c().checklist_highlighted = false;
    f->click_button(1);
    QCOMPARE(f->c().current_screen, 8);
    QCOMPARE(f->visible_screen(), QStringLiteral("AddChecklist"));
    QCOMPARE(f->c().back_screen, 7);
    QCOMPARE(f->bar()->highlighted_button(), 1);
}

void TestScreenSwitch::details_with_nothing_to_open_keeps_the_list() {
    // An empty journal: the current entry is not in use.
    f->click_button(1);
    QCOMPARE(f->c().current_screen, 0);
    QCOMPARE(f->visible_screen(), QStringLiteral("Title"));
    QCOMPARE(f->bar()->highlighted_button(), 0);
    QCOMPARE(f->c().back_available, false);
}

void TestScreenSwitch::edit_entry_opens_the_editor_of_its_kind_data() {
    QTest::addColumn<char>("kind");
    QTest::addColumn<int>("screen");
    QTest::addColumn<QString>("window");
    QTest::newRow("transaction") << 't' << 2 << "AddEntry";
    QTest::newRow("web page") << 'w' << 4 << "SaveWebPage";
    QTest::newRow("file") << 'f' << 10 << "SaveFileReference";
    QTest::newRow("call notes") << 'c' << 12 << "SaveCallNotes";
}

void TestScreenSwitch::edit_entry_opens_the_editor_of_its_kind() {
    QFETCH(char, kind);
    const int i = f->add_entry("Acme Corp", kind);
    f->highlight_entry(i);
    f->toolbar(4);  // Edit
    QTEST(f->c().current_screen, "screen");
    QTEST(f->visible_screen(), "window");
    QCOMPARE(f->c().current_entry.index, i);
    QCOMPARE(f->c().current_entry.mode, int(mode_edit));
    QCOMPARE(f->c().back_available, true);
    QCOMPARE(f->c().back_screen, 0);
    QCOMPARE(f->bar()->highlighted_button(), 1);
    QCOMPARE(f->mdi()->toolbar_button(7)->isVisible(), true);
}

void TestScreenSwitch::checklist_list_writes_show_it_changes_before_leaving() {
    Core& c = f->c();
    f->click_button(3);
    auto* list = f->s().show_checklists();
    list->add_or_edit_ongoing = true;
    c.Checklists[0].ShowIt = 0;
    f->click_button(0);
    QCOMPARE(c.current_screen, 0);
    QCOMPARE(list->add_or_edit_ongoing, false);
    QVERIFY(read_file(f->path("chklist.dat")).size() > 0);
    QCOMPARE(f->messages.questions.size(), 0);
}

void TestScreenSwitch::summary_twice_resets_the_list() {
    auto* title = f->stand_in<StandInTitle>("Title");
    title->calls.clear();
    f->click_button(0);
    QCOMPARE(title->calls.contains("reset_to_original"), true);
    QCOMPARE(title->calls.contains("update_title_with_last_entries"), true);
    title->calls.clear();
    f->click_button(3);
    f->click_button(0);
    QCOMPARE(title->calls.contains("reset_to_original"), false);
    QCOMPARE(title->calls.contains("update_Title_with_entries"), true);
}

void TestScreenSwitch::resize_reaches_the_bar_and_the_visible_screen() {
    MDIMain* mdi = f->mdi();
    const int margin = f->bar()->bar_height_margin;
    QCOMPARE(margin, mdi->height_twips() - px_to_twips(f->bar()->height()));
    auto* title = f->stand_in<StandInTitle>("Title");
    title->calls.clear();
    mdi->resize(mdi->width(), mdi->height() + 60);
    QCOMPARE(px_to_twips(f->bar()->height()), mdi->height_twips() - margin);
    QCOMPARE(title->calls.contains("handle_resize"), true);
    // A frame smaller than the margin: the bar keeps 100 twips.
    f->bar()->bar_height_margin = int16_t(mdi->height_twips() - 50);
    f->bar()->handle_resize();
    QCOMPARE(f->bar()->height(), twips_to_px(100));
}

QTEST_MAIN(TestScreenSwitch)
#include "tst_screen_switch.moc"
