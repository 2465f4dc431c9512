// The developer's long-text tester: reached by name only, writing and reading back a
// test text, and the record dump with its start question.
#include "shell_fixture.h"

#include "shell/test_vardata.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace qb;
using namespace qb::test;

namespace {

struct TesterFixture {
    TesterFixture() {
        f.write_prefs();
        QVERIFY(f.start());
        w = f.s().window_as<TestVarData>("TestVarData");
        QVERIFY(w);
        w->show();
    }
    void click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    void type(QLineEdit* box, const QString& text) {
        box->clear();
        QTest::keyClicks(box, text);
    }
    ShellFixture f;
    TestVarData* w = nullptr;
};

QString record_dump(int n, bool in_use, int owner, int next, const QString& data) {
    return QStringLiteral("Record # %1. Inuse = %2\nindex_to_owner: %3. Index_to_next: %4\n%5\n%6\n")
        .arg(n)
        .arg(in_use ? "True" : "False")
        .arg(owner)
        .arg(next)
        .arg(data, QString(38, u'='));
}

} // namespace

class TestTestVarData : public QObject {
    Q_OBJECT
private slots:
    void reached_by_name_only();
    void write_and_read_back();
    void dump_of_the_records();
    void long_file_asks_where_to_start_data();
    void long_file_asks_where_to_start();
    void file_that_cannot_be_opened();
};

void TestTestVarData::reached_by_name_only() {
    ShellFixture f;
    f.write_prefs();
    QVERIFY(f.start());
    QVERIFY(!f.s().is_form_loaded("TestVarData"));
    for (QAction* top : f.mdi()->menuBar()->actions())
        for (QAction* a : top->menu()->actions()) QVERIFY2(!a->text().contains("VarData"), qPrintable(a->text()));
    auto* w = f.s().window_as<TestVarData>("TestVarData");
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QString("VarData Tester"));
    QCOMPARE(w->Add_Button->text(), QString("Add"));
    QCOMPARE(w->Edit_Button->text(), QString("Edit"));
    QCOMPARE(w->doit_button->text(), QString("Do it"));
    QCOMPARE(w->ViewFile_Command->text(), QString("View VarData"));
}

void TestTestVarData::write_and_read_back() {
    TesterFixture t;
    Core& c = t.f.c();
    QCOMPARE(c.next_vardata_index, 1);
    t.click(t.w->Add_Button);
    QCOMPARE(t.w->RecNum->text(), QString("1"));
    QVERIFY(t.w->RecNum->isReadOnly());
    t.click(t.w->Edit_Button);
    QVERIFY(!t.w->RecNum->isReadOnly());
    t.click(t.w->Add_Button);

    t.type(t.w->StrLength, "60");
    t.type(t.w->FillWith, " ab ");
    t.click(t.w->doit_button);
    const QString text = QString("ab").repeated(60);
    QCOMPARE(t.w->results->text(), "Results: Write Success, Index: 1. Read Success, Index: 1\nSuccess!!!! Strings match\n"
                                    "Read_in: " + text + "\nstr_to_write: " + text);
    QCOMPARE(QFileInfo(t.f.path("VarData.dat")).size(), qint64(2 * kVarDataRecordSize));
    QCOMPARE(c.next_vardata_index, 3);

    // A record past the end of the file is refused.
    t.click(t.w->Edit_Button);
    t.type(t.w->RecNum, "99");
    t.click(t.w->doit_button);
    QCOMPARE(t.w->results->text(), QString("Results: Write Failed!, Index: 99"));
    QCOMPARE(QFileInfo(t.f.path("VarData.dat")).size(), qint64(2 * kVarDataRecordSize));
}

void TestTestVarData::dump_of_the_records() {
    TesterFixture t;
    Core& c = t.f.c();
    const int owner = c.current_entry.entry.file_idx;
    t.click(t.w->Add_Button);
    t.type(t.w->StrLength, "15");
    t.type(t.w->FillWith, "0123456789");
    t.click(t.w->doit_button);
    // Rewritten shorter, the chain's second record is freed.
    t.type(t.w->StrLength, "3");
    t.click(t.w->doit_button);
    t.w->ViewFile_textbox->setPlainText("old dump");
    t.click(t.w->ViewFile_Command);
    const QString digits = QString("0123456789").repeated(10);
    QCOMPARE(t.w->ViewFile_textbox->toPlainText(),
             record_dump(1, true, owner, 0, QString("0123456789").repeated(3)) + record_dump(2, false, owner, 0, "Free") + "\n");
    QCOMPARE(t.f.dialogs.calls, QStringList());
    QCOMPARE(t.f.messages.boxes.size(), 0);
}

void TestTestVarData::long_file_asks_where_to_start_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("first");
    QTest::newRow("50") << "50" << 50;
    QTest::newRow("0 means 1") << "0" << 1;
    QTest::newRow("cancel means 1") << "(cancel)" << 1;
}

void TestTestVarData::long_file_asks_where_to_start() {
    QFETCH(QString, answer);
    QFETCH(int, first);
    TesterFixture t;
    t.click(t.w->Add_Button);
    t.type(t.w->StrLength, "10001");
    t.type(t.w->FillWith, "x");
    t.click(t.w->doit_button);
    QCOMPARE(QFileInfo(t.f.path("VarData.dat")).size(), qint64(101 * kVarDataRecordSize));
    t.f.dialogs.next_input = answer == "(cancel)" ? std::optional<QString>() : std::optional<QString>(answer);
    t.click(t.w->ViewFile_Command);
    QCOMPARE(t.f.dialogs.calls, QStringList({"input:Start at vardata file index: "}));
    const QString dump = t.w->ViewFile_textbox->toPlainText();
    QVERIFY2(dump.startsWith(QString("Record # %1. ").arg(first)), qPrintable(dump.left(40)));
    QCOMPARE(dump.count("Record # "), 101 - first + 1);
}

void TestTestVarData::file_that_cannot_be_opened() {
    TesterFixture t;
    QFile::remove(t.f.path("VarData.dat"));
    QVERIFY(QDir(t.f.dir.path()).mkdir("VarData.dat"));
    t.type(t.w->RecNum, "1");
    t.type(t.w->StrLength, "1");
    t.type(t.w->FillWith, "x");
    t.click(t.w->doit_button);
    QCOMPARE(t.f.messages.boxes.size(), 1);
    QVERIFY2(t.f.messages.boxes[0].second.startsWith("Error: Error opening Vardata. Error: "),
             qPrintable(t.f.messages.boxes[0].second));
    t.click(t.w->ViewFile_Command);
    QCOMPARE(t.f.messages.boxes.size(), 2);
    const QString expected = "Error: Unable to Read to VarData Data File: " + t.f.c().message_path("VarData.dat") + " Error: ";
    QVERIFY2(t.f.messages.boxes[1].second.startsWith(expected), qPrintable(t.f.messages.boxes[1].second));
}

QTEST_MAIN(TestTestVarData)
#include "tst_test_vardata.moc"
