// Back, forward, cancel, up and down through the toolbar.
#include "shell_fixture.h"

using namespace qb;
using namespace qb::test;

namespace {
constexpr int kBack = 1, kForward = 2, kCancel = 5, kUp = 7, kDown = 8;
}

class TestNavigation : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { f.reset(); }
    void back_and_forward_data();
    void back_and_forward();
    void back_from_editor_to_checklist_list_empties_history();
    void forward_never_reopens_a_new_item();
    void back_to_an_entry_from_a_screen_without_details();
    void cancel_data();
    void cancel();
    void up_and_down_step_through_live_entries();
    void up_and_down_on_the_list_page_it();
    void up_on_a_vetoing_editor_changes_nothing();

private:
    std::unique_ptr<ShellFixture> f;
};

void TestNavigation::init() {
    f = std::make_unique<ShellFixture>();
    f->write_prefs();
    QVERIFY(f->start());
}

// Buttons pressed from the list, then Back: where it lands, then Forward: where it lands.
void TestNavigation::back_and_forward_data() {
    QTest::addColumn<QList<int>>("path");
    QTest::addColumn<int>("after_back");
    QTest::addColumn<int>("after_forward");
    QTest::newRow("list to stock idea") << QList<int>{2} << 0 << 6;
    QTest::newRow("list to checklists") << QList<int>{3} << 0 << 7;
    QTest::newRow("checklists to stock idea") << QList<int>{3, 2} << 7 << 6;
    QTest::newRow("new checklist reopens empty") << QList<int>{4, 2} << 8 << 6;
    QTest::newRow("new buy returns to the list") << QList<int>{5} << 0 << 0;
}

void TestNavigation::back_and_forward() {
    QFETCH(QList<int>, path);
    for (int b : path) f->click_button(b);
    f->toolbar(kBack);
    QTEST(f->c().current_screen, "after_back");
    QCOMPARE(f->c().back_available, false);
    QCOMPARE(f->c().forward_available, true);
    f->toolbar(kForward);
    QTEST(f->c().current_screen, "after_forward");
}

void TestNavigation::back_from_editor_to_checklist_list_empties_history() {
    f->click_button(3);
    f->click_button(1);  // the current checklist in the editor
    QCOMPARE(f->c().current_screen, 8);
    f->toolbar(kBack);
    QCOMPARE(f->c().current_screen, 7);
    QCOMPARE(f->c().back_available, false);
    QCOMPARE(f->c().forward_available, false);
    // Back with no history goes to the list; on the list it does nothing.
    f->toolbar(kBack);
    QCOMPARE(f->c().current_screen, 0);
    f->c().back_available = false;
    f->toolbar(kBack);
    QCOMPARE(f->c().current_screen, 0);
}

void TestNavigation::forward_never_reopens_a_new_item() {
    f->click_button(5);
    f->toolbar(kBack);
    QCOMPARE(f->c().current_screen, 0);
    QCOMPARE(f->c().forward_screen, 1);
    f->toolbar(kForward);
    QCOMPARE(f->c().current_screen, 0);
    QCOMPARE(f->c().forward_available, true);
}

void TestNavigation::back_to_an_entry_from_a_screen_without_details() {
    const int i = f->add_entry("Acme");
    f->highlight_entry(i);
    f->toolbar(4);
    QCOMPARE(f->c().current_screen, 2);
    f->click_button(2);  // back_screen is now 2
    f->toolbar(kBack);
    // Details opens nothing from the stock-idea screen, yet the history moves.
    QCOMPARE(f->c().current_screen, 6);
    QCOMPARE(f->c().back_available, false);
    QCOMPARE(f->c().forward_screen, 6);
}

void TestNavigation::cancel_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("after");
    QTest::addColumn<QString>("window");
    QTest::newRow("list") << 0 << 0 << "Title";
    QTest::newRow("stock idea") << 2 << 6 << "viewweb";
    QTest::newRow("checklists") << 3 << 7 << "ShowChecklists";
    QTest::newRow("new checklist") << 4 << 7 << "ShowChecklists";
    QTest::newRow("new buy") << 5 << 0 << "Title";
    QTest::newRow("web page") << 8 << 0 << "Title";
    QTest::newRow("file reference") << 9 << 0 << "Title";
    QTest::newRow("call notes") << 10 << 0 << "Title";
}

void TestNavigation::cancel() {
    QFETCH(int, button);
    f->click_button(button);
    // Unsaved typing is dropped without a question.
    if (button == 5) f->type_into("AddEntry", "security_name_textbox");
    if (button == 4) f->type_into("AddChecklist", "name_text");
    const int back_screen = f->c().back_screen;
    f->toolbar(kCancel);
    QTEST(f->c().current_screen, "after");
    QTEST(f->visible_screen(), "window");
    QCOMPARE(f->messages.questions.size(), 0);
    QCOMPARE(f->c().back_screen, back_screen);
    QCOMPARE(f->stand_in<StandInAddEntry>("AddEntry")->add_or_edit_ongoing, false);
}

void TestNavigation::up_and_down_step_through_live_entries() {
    const int a = f->add_entry("Alpha");
    const int deleted = f->add_entry("Gone");
    f->c().SummaryData[deleted].deleted = kTrue;
    const int b = f->add_entry("Beta", 'w');
    f->highlight_entry(a);
    f->toolbar(4);
    QCOMPARE(f->c().current_screen, 2);
    f->toolbar(kDown);
    QCOMPARE(f->c().current_entry.index, b);
    QCOMPARE(f->c().current_screen, 4);  // the next entry is a web page
    QCOMPARE(f->visible_screen(), QStringLiteral("SaveWebPage"));
    f->toolbar(kDown);  // the last one: the same entry again
    QCOMPARE(f->c().current_entry.index, b);
    QCOMPARE(f->visible_screen(), QStringLiteral("SaveWebPage"));
    f->toolbar(kUp);
    QCOMPARE(f->c().current_entry.index, a);
    QCOMPARE(f->visible_screen(), QStringLiteral("AddEntry"));
}

void TestNavigation::up_and_down_on_the_list_page_it() {
    auto* title = f->stand_in<StandInTitle>("Title");
    title->calls.clear();
    f->toolbar(kUp);
    f->toolbar(kDown);
    QCOMPARE(title->calls.filter("do_page").join(','), QStringLiteral("do_page_up,do_page_down"));
    // On a new item they do nothing.
    f->click_button(5);
    f->toolbar(kUp);
    QCOMPARE(f->c().current_screen, 1);
}

void TestNavigation::up_on_a_vetoing_editor_changes_nothing() {
    const int a = f->add_entry("Alpha");
    const int b = f->add_entry("Beta");
    f->highlight_entry(b);
    f->toolbar(4);
    f->type_into("AddEntry", "security_name_textbox");
    f->messages.answers.enqueue(kAnswerYes);
    f->toolbar(kUp);
    QCOMPARE(f->c().current_entry.index, b);
    QCOMPARE(f->visible_screen(), QStringLiteral("AddEntry"));
    QCOMPARE(f->messages.questions.size(), 1);
    Q_UNUSED(a);
}

QTEST_MAIN(TestNavigation)
#include "tst_navigation.moc"
