// The tips window's navigation and preferences, and the guided tour's slides and button presses.
#include "shell_fixture.h"

#include "shell/tips.h"
#include "shell/tour.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>

using namespace qb;
using namespace qb::test;

namespace {
// write_tips(4): section k holds slots 4k..4k+3; the last loaded tip is 39.
constexpr int kLastTip = 39;
}

class TestTipsTour : public QObject {
    Q_OBJECT
private slots:
    void tips_follow_the_buttons_data();
    void tips_follow_the_buttons();
    void checklists_after_the_editor_skip_three();
    void next_first_and_close();
    void start_up_check_writes_only_a_change();
    void contexts_outside_the_table_are_clamped();
    void empty_tips_file();
    void tour_presses_the_buttons();
    void ending_the_tour_hands_over_to_the_tips();
    void tour_without_its_text_file();
    void message_during_the_tour_ends_it();

private:
    void start(ShellFixture& f, const QString& tips = "n", const QString& tour = "n") {
        f.write_prefs(tips, tour);
        f.write_tips();
        f.write_tour();
        QVERIFY(f.start());
    }
    void click(QWidget* window, const char* name) {
        QTest::mouseClick(window->findChild<QPushButton*>(name), Qt::LeftButton);
    }
};

void TestTipsTour::tips_follow_the_buttons_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("tip");
    QTest::addColumn<QString>("area");
    QTest::newRow("summary") << 0 << 0 << "summary screen";
    QTest::newRow("stock idea") << 2 << 8 << "stock idea";
    QTest::newRow("checklists") << 3 << 12 << "checklists";
    QTest::newRow("buy") << 5 << 20 << "transactions";
    QTest::newRow("sell") << 6 << 20 << "transactions";
    QTest::newRow("other") << 7 << 20 << "transactions";
    QTest::newRow("call notes") << 10 << 32 << "call notes";
}

void TestTipsTour::tips_follow_the_buttons() {
    QFETCH(int, button);
    ShellFixture f;
    start(f);
    f.click_button(button == 0 ? 2 : 0);
    f.click_button(button);
    QTEST(f.c().current_tip_index, "tip");
    QTEST(f.s().tips()->Context_textbox->text(), "area");
    // The window follows while hidden too.
    QVERIFY(!f.s().loaded_window("Tips")->isVisible());
    f.toolbar(6);
    QCOMPARE(f.c().current_tip_index, 36);
    QCOMPARE(f.s().tips()->Context_textbox->text(), QStringLiteral("tool bar information"));
}

void TestTipsTour::checklists_after_the_editor_skip_three() {
    ShellFixture f;
    start(f);
    f.click_button(4);
    f.click_button(3);
    QCOMPARE(f.c().current_tip_index, 15);
    f.click_button(0);
    f.click_button(3);
    QCOMPARE(f.c().current_tip_index, 12);
}

void TestTipsTour::next_first_and_close() {
    ShellFixture f;
    start(f);
    f.trigger("mnuTips");
    Tips* tips = f.s().tips();
    QVERIFY(tips->isVisible());
    f.c().current_tip_index = kLastTip;
    click(tips, "NextTip");
    QCOMPARE(f.c().current_tip_index, 0);
    QCOMPARE(tips->tips_textbox->toPlainText(), QStringLiteral("Tip 0 of summary screen"));
    click(tips, "NextTip");
    click(tips, "NextTip");
    QCOMPARE(tips->tips_textbox->toPlainText(), QStringLiteral("Tip 2 of summary screen"));
    click(tips, "FirstTip");
    QCOMPARE(f.c().current_tip_index, 0);

    f.c().current_tip_index = 4;
    click(tips, "Close");
    QVERIFY(!tips->isVisible());
    QVERIFY(f.s().is_form_loaded("Tips"));
    QCOMPARE(f.c().nexttipindex, QStringLiteral("5"));
    QVERIFY(read_file(f.path("pref.dat")).contains("<nexttipindex>5<"));
    f.trigger("mnuTips");
    f.c().current_tip_index = kLastTip;
    click(tips, "Close");
    QVERIFY(read_file(f.path("pref.dat")).contains("<nexttipindex>0<"));
}

void TestTipsTour::start_up_check_writes_only_a_change() {
    ShellFixture f;
    start(f, "y", "n");
    Tips* tips = f.s().tips();
    QVERIFY(tips->isVisible());
    QVERIFY(tips->StartUpCheck->isChecked());
    QFile::remove(f.path("pref.dat"));
    tips->StartUpCheck->setChecked(true);  // no change: no file
    QVERIFY(!QFile::exists(f.path("pref.dat")));
    QTest::mouseClick(tips->StartUpCheck, Qt::LeftButton);
    QCOMPARE(f.c().tiponstartup, QStringLiteral("n"));
    QVERIFY(read_file(f.path("pref.dat")).contains("<tiponstartup>n<"));
}

void TestTipsTour::contexts_outside_the_table_are_clamped() {
    ShellFixture f;
    start(f);
    Tips* tips = f.s().tips();
    tips->update_Tips(-4);
    QCOMPARE(f.c().current_tip_index, 0);
    tips->update_Tips(12);
    QCOMPARE(f.c().current_tip_index, 0);
    // A set-on-screen index outside the table never reaches the table.
    f.c().current_tip_index = 500;
    tips->set_tip_to_currentTip();
    QCOMPARE(f.c().current_tip_index, 87);
    QVERIFY(tips->tips_textbox->toPlainText().isEmpty());
    f.c().current_tip_index = -3;
    tips->set_tip_to_currentTip();
    QCOMPARE(f.c().current_tip_index, 0);
    // "checklists" starting late: the skip of three stops at the last slot.
    f.c().tip_context_start[3] = 86;
    f.click_button(4);
    f.click_button(3);
    QCOMPARE(f.c().current_tip_index, 87);
}

void TestTipsTour::empty_tips_file() {
    ShellFixture f;
    f.write_prefs("y", "n");
    write_file(f.path("tips.txt"), "");
    QVERIFY(f.start());
    Tips* tips = f.s().tips();
    QVERIFY(tips->isVisible());
    QVERIFY(tips->tips_textbox->toPlainText().isEmpty());
    QVERIFY(tips->Context_textbox->text().isEmpty());
    click(tips, "NextTip");
    QCOMPARE(f.c().current_tip_index, 0);
    f.toolbar(6);
    QCOMPARE(f.c().current_tip_index, 0);
    click(tips, "Close");
    QCOMPARE(f.c().nexttipindex, QStringLiteral("0"));
}

void TestTipsTour::tour_presses_the_buttons() {
    ShellFixture f;
    start(f);
    f.trigger("mnuTour");
    Tour* tour = f.s().tour();
    QVERIFY(tour->isVisible());
    QCOMPARE(f.c().tour_running, true);
    QCOMPARE(tour->topic->text(), QStringLiteral("Slide title 1"));
    QCOMPARE(tour->Progress->text(), QStringLiteral("Slide 1 of 11"));
    QVERIFY(!tour->FocusButton->isVisible());

    struct Step { int screen; const char* marker; };
    const Step steps[] = {{0, nullptr}, {0, nullptr}, {0, "Summary"}, {7, "Checklists"}, {8, "New Checklist"},
                          {1, "Buy"}, {9, "File Reference"}, {11, "Call Notes"}, {11, "Internet Research"},
                          {0, "Summary"}};
    for (int slide = 2; slide <= 11; ++slide) {
        click(tour, "NextTip");
        const Step& s = steps[slide - 2];
        QCOMPARE(tour->current_slide, int16_t(slide));
        QCOMPARE(tour->Progress->text(), QStringLiteral("Slide %1 of 11").arg(slide));
        QCOMPARE(tour->topic->text(), QStringLiteral("Slide title %1").arg(slide));
        QCOMPARE(f.c().current_screen, s.screen);
        if (s.marker) {
            QVERIFY(tour->FocusButton->isVisible());
            QCOMPARE(tour->FocusButton->text(), QString::fromLatin1(s.marker));
        }
        QCOMPARE(tour->NextTip->isVisible(), slide < 11);
    }
    QVERIFY(tour->windowFlags() & Qt::WindowStaysOnTopHint);
}

void TestTipsTour::ending_the_tour_hands_over_to_the_tips() {
    ShellFixture f;
    start(f, "y", "y");
    QVERIFY(f.s().loaded_window("Tour")->isVisible());
    QVERIFY(!f.s().loaded_window("Tips")->isVisible());
    f.c().current_tip_index = 7;
    click(f.s().tour(), "Close");
    QCOMPARE(f.c().tour_running, false);
    QVERIFY(!f.s().is_form_loaded("Tour"));
    QCOMPARE(f.c().touronstartup, QStringLiteral("n"));
    QVERIFY(read_file(f.path("pref.dat")).contains("<touronstartup>n<"));
    QVERIFY(f.s().loaded_window("Tips")->isVisible());
    QCOMPARE(f.c().current_tip_index, 0);
    // The next start shows the tips window and no tour.
    f.program.reset();
    QVERIFY(f.start());
    QVERIFY(!f.s().is_form_loaded("Tour"));
    QVERIFY(f.s().loaded_window("Tips")->isVisible());
}

void TestTipsTour::tour_without_its_text_file() {
    ShellFixture f;
    f.write_prefs();
    QVERIFY(f.start());
    f.trigger("mnuTour");
    Tour* tour = f.s().tour();
    QCOMPARE(tour->current_slide, int16_t(0));
    QCOMPARE(tour->topic->text(), QStringLiteral("Sorry, the 2-minute Tour is not available."));
    QVERIFY(!tour->NextTip->isVisible());
    QVERIFY(f.messages.box_texts().contains(
        "Error: Sorry, unable to give Tour. Tour description file not available."));
}

void TestTipsTour::message_during_the_tour_ends_it() {
    ShellFixture f;
    start(f, "y", "y");
    Tour* tour = f.s().tour();
    for (int i = 0; i < 5; ++i) click(tour, "NextTip");  // slide 6: a new checklist
    QCOMPARE(f.c().current_screen, 8);
    f.type_into("AddChecklist", "name_text");
    f.messages.answers.enqueue(kAnswerYes);
    click(tour, "NextTip");  // slide 7 presses Buy: the editor's question comes up
    QCOMPARE(f.messages.questions.size(), 1);
    QCOMPARE(f.c().tour_running, false);
    QVERIFY(!tour->isVisible());
    QCOMPARE(f.c().current_screen, 8);
    QCOMPARE(tour->topic->text(), QStringLiteral("Slide title 7"));
    QCOMPARE(f.c().touronstartup, QStringLiteral("y"));
}

QTEST_MAIN(TestTipsTour)
#include "tst_tips_tour.moc"
