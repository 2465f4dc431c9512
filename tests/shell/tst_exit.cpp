// Shutdown by Exit and by closing the frame: the editor's guard first, then the windows
// in their order, and nothing created on the way out.
#include "shell_fixture.h"

#include "shell/tour.h"

using namespace qb;
using namespace qb::test;

class TestExit : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { f.reset(); }
    void way_data();
    void way();
    void vetoing_editor_keeps_the_program_data();
    void vetoing_editor_keeps_the_program();
    void exit_ends_a_running_tour_and_unloads_loaded_windows();

private:
    void leave(const QString& way);
    std::unique_ptr<ShellFixture> f;
};

void TestExit::init() {
    f = std::make_unique<ShellFixture>();
    f->write_prefs();
    QVERIFY(f->start());
}

void TestExit::leave(const QString& way) {
    if (way == "exit")
        f->trigger("mnuExit");
    else
        f->mdi()->close();
}

void TestExit::way_data() {
    QTest::addColumn<QString>("way");
    QTest::newRow("Exit") << "exit";
    QTest::newRow("close box") << "close";
}

void TestExit::way() {
    QFETCH(QString, way);
    f->click_button(3);
    leave(way);
    QCOMPARE(f->ended, 1);
    // Windows that were never opened are not created on the way out.
    for (const char* n : {"Aboutbox", "Report", "Research", "Custom", "Quotes", "Chart", "News", "UserUpdate"})
        QVERIFY2(!f->s().is_form_loaded(n), n);
    for (const QString& n : Shell::screen_names()) QVERIFY2(!f->s().is_form_loaded(n), qPrintable(n));
    QVERIFY(!f->s().is_form_loaded("Command"));
    QVERIFY(!f->s().is_form_loaded("Tips"));
    QVERIFY(!QFile::exists(f->path("entries.dat")) || read_file(f->path("entries.dat")).isEmpty());
}

void TestExit::vetoing_editor_keeps_the_program_data() { way_data(); }

void TestExit::vetoing_editor_keeps_the_program() {
    QFETCH(QString, way);
    f->click_button(5);
    f->type_into("AddEntry", "security_name_textbox");
    f->messages.answers.enqueue(kAnswerYes);  // stay and correct
    leave(way);
    QCOMPARE(f->messages.questions.size(), 1);
    QCOMPARE(f->ended, 0);
    QVERIFY(f->mdi()->isVisible());
    QCOMPARE(f->visible_screen(), QStringLiteral("AddEntry"));
    QCOMPARE(f->stand_in<StandInAddEntry>("AddEntry")->add_or_edit_ongoing, true);
    // Letting go ends the program.
    f->messages.answers.enqueue(kAnswerNo);
    leave(way);
    QCOMPARE(f->ended, 1);
}

void TestExit::exit_ends_a_running_tour_and_unloads_loaded_windows() {
    f->write_tour();
    f->trigger("mnuTour");
    f->trigger("mnuQuotes");
    f->trigger("mnuAbout");
    QCOMPARE(f->c().tour_running, true);
    f->trigger("mnuExit");
    QCOMPARE(f->c().tour_running, false);
    QVERIFY(!f->s().is_form_loaded("Quotes"));
    QVERIFY(!f->s().is_form_loaded("Aboutbox"));
    QVERIFY(!f->s().loaded_window("Tour")->isVisible());
    QCOMPARE(f->ended, 1);
}

QTEST_MAIN(TestExit)
#include "tst_exit.moc"
