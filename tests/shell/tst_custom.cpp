// The preferences window: the validation of the user's transaction types and the colour.
#include "shell_fixture.h"

#include "shell/custom.h"

#include <QCheckBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace qb;
using namespace qb::test;

class TestCustom : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { f.reset(); }
    void validation_data();
    void validation();
    void load_shows_types_and_colour();
    void colour_is_applied_to_loaded_screens_only();
    void unknown_stored_colour_activates_as_blue();
    void unchecking_keeps_the_colour();
    void failed_save_keeps_the_old_types();

private:
    Custom* open() {
        f->trigger("mnuCustom");
        return dynamic_cast<Custom*>(f->s().loaded_window("Custom"));
    }
    void activate(Custom* w) { QTest::mouseClick(w->activate_button, Qt::LeftButton); }
    std::unique_ptr<ShellFixture> f;
};

void TestCustom::init() {
    f = std::make_unique<ShellFixture>();
    f->write_prefs();
    QVERIFY(f->start());
    f->c().trans_type = QStringList{"Old"};
}

void TestCustom::validation_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("types");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("box_after");
    const QString reserved = "Error: The transactions, buy, sell, hold, thinking, short, cover short, web page, file, "
                             "call notes, already exist. You can not add them again. Transactions NOT updated.";
    const QString length = "Error: The Maximum length of one transaction type is 25 characters. Please correct and "
                           "press Activate again.";
    const QString tags = "Error: A transaction type can not hold the characters < or >. Please correct and press "
                         "Activate again.";
    const QString t25(25, 'x'), t26(26, 'x');
    QTest::newRow("two new") << "Spin, Merge" << true << QStringList{"Spin", "Merge"} << QStringList{} << "Spin, Merge";
    QTest::newRow("empty removes all") << "" << true << QStringList{} << QStringList{} << "";
    QTest::newRow("duplicates kept") << "Spin,Spin" << true << QStringList{"Spin", "Spin"} << QStringList{} << "Spin,Spin";
    QTest::newRow("lines become commas") << "Spin\nMerge" << true << QStringList{"Spin", "Merge"} << QStringList{}
                                         << "Spin,Merge";
    QTest::newRow("25 characters") << t25 << true << QStringList{t25} << QStringList{} << t25;
    QTest::newRow("reserved with a new one") << "Spin, buy" << false << QStringList{"Old"} << QStringList{reserved}
                                             << "Spin, buy";
    QTest::newRow("reserved in any case, blanks") << "  Cover SHORT  " << false << QStringList{"Old"}
                                                  << QStringList{reserved} << "Cover SHORT";
    QTest::newRow("reference kind") << "Web Page" << false << QStringList{"Old"} << QStringList{reserved} << "Web Page";
    QTest::newRow("26 characters") << t26 << false << QStringList{"Old"} << QStringList{length} << t26;
    QTest::newRow("both faults, reserved first") << "sell\n" + t26 << false << QStringList{"Old"}
                                                 << QStringList{reserved, length} << "sell," + t26;
    QTest::newRow("tag characters") << "a<b>" << false << QStringList{"Old"} << QStringList{tags} << "a<b>";
}

void TestCustom::validation() {
    QFETCH(QString, typed);
    QFETCH(bool, ok);
    Custom* w = open();
    QVERIFY(w);
    w->trans_text->setPlainText(typed);
    activate(w);
    QTEST(f->c().trans_type, "types");
    QTEST(f->messages.box_texts(), "messages");
    QCOMPARE(f->s().is_form_loaded("Custom"), !ok);
    if (!ok) QTEST(w->trans_text->toPlainText(), "box_after");
    if (ok) {
        // What is stored comes back after a restart.
        const QStringList types = f->c().trans_type;
        f->program.reset();
        QVERIFY(f->start());
        QCOMPARE(f->c().trans_type, types);
    }
}

void TestCustom::load_shows_types_and_colour() {
    f->c().trans_type = QStringList{"Spin", "Merge"};
    f->c().textcolor = "purple";
    Custom* w = open();
    QCOMPARE(w->windowTitle(), QStringLiteral("Customize Transactions and Color"));
    QCOMPARE(w->trans_text->toPlainText(), QStringLiteral("Spin,Merge,"));
    QCOMPARE(w->selected_color, int16_t(4));
    for (int i = 0; i < 6; ++i) QCOMPARE(w->Check1[size_t(i)]->isChecked(), i == 4);
    QTest::mouseClick(w->Check1[2], Qt::LeftButton);
    QCOMPARE(w->selected_color, int16_t(2));
    for (int i = 0; i < 6; ++i) QCOMPARE(w->Check1[size_t(i)]->isChecked(), i == 2);
    // Cancel keeps nothing.
    QTest::mouseClick(w->Close, Qt::LeftButton);
    QVERIFY(!f->s().is_form_loaded("Custom"));
    QCOMPARE(f->c().textcolor, QStringLiteral("purple"));
}

void TestCustom::colour_is_applied_to_loaded_screens_only() {
    Custom* w = open();
    QTest::mouseClick(w->Check1[3], Qt::LeftButton);
    activate(w);
    QCOMPARE(f->c().textcolor, QStringLiteral("Green"));
    QCOMPARE(f->c().textcolor_value, uint32_t(0xC000));
    QVERIFY(read_file(f->path("pref.dat")).contains("<textcolor>Green<"));
    QVERIFY(!f->s().is_form_loaded("AddEntry"));
    QVERIFY(!f->s().is_form_loaded("Custom"));
}

void TestCustom::unknown_stored_colour_activates_as_blue() {
    f->c().textcolor = "Mauve";
    Custom* w = open();
    for (QCheckBox* b : w->Check1) QVERIFY(!b->isChecked());
    activate(w);
    QCOMPARE(f->c().textcolor, QStringLiteral("Blue"));
}

void TestCustom::unchecking_keeps_the_colour() {
    f->c().textcolor = "Red";
    Custom* w = open();
    QTest::mouseClick(w->Check1[2], Qt::LeftButton);  // unchecks the only checked box
    QVERIFY(!w->Check1[2]->isChecked());
    activate(w);
    QCOMPARE(f->c().textcolor, QStringLiteral("Red"));
    QCOMPARE(f->c().textcolor_value, uint32_t(0xFF));
}

void TestCustom::failed_save_keeps_the_old_types() {
    Custom* w = open();
    // pref.dat cannot be replaced when it is a folder.
    QFile::remove(f->path("pref.dat"));
    QVERIFY(QDir(f->dir.path()).mkdir("pref.dat"));
    w->trans_text->setPlainText("Spin");
    activate(w);
    QCOMPARE(f->c().trans_type, QStringList{"Old"});
    QVERIFY(f->s().is_form_loaded("Custom"));
    QVERIFY(!f->messages.boxes.isEmpty());
}

QTEST_MAIN(TestCustom)
#include "tst_custom.moc"
