// The developer tools: the index report's layout and the test-entry generator.
#include "core/dev_tools.h"
#include "core/ole_date.h"
#include "support/fakes.h"
#include "support/file_size_limit.h"

#include <QDir>
#include <QtTest>

using namespace qb;
using namespace qb::test;

namespace {

const QString kHeader = QStringLiteral(
    "Report of the Data and the Various Indexes\r\n"
    "==========================================\r\n"
    "Mem Idx\tSecurity\tfile_idx\tIndex_to_other\tIndex_from_other\tIndex_to_checklist\tIndex_from_checklist\r\n"
    "=======\t========\t========\t==============\t================\t==================\t====================\r\n"
    "\r\n");
const QString kDone = QStringLiteral("---------------------------Done------------------------\r\n");

// Stands in for the transaction editor: block 0 from the first checklist that scores.
DevToolHooks editor_hooks(Core& c, int* redraws = nullptr) {
    DevToolHooks h;
    h.init_checklists = [&c] {
        const Checklist& cl = c.Checklists[0];
        EntryChecklist& blk = c.current_entry.entry.checklist[0];
        blk.Inuse = kTrue;
        blk.name = cl.Name;
        for (int j = 0; j < cl.TotalItems; ++j) blk.Item[j].text = cl.Item[j];
        blk.last_item_index = int16_t(cl.TotalItems - 1);
    };
    h.update_Title_with_entries = [redraws] { if (redraws) ++*redraws; };
    return h;
}

QString report(const CoreFixture& fx) { return QString::fromUtf8(read_file(fx.path("report.txt"))); }

} // namespace

class TestDevTools : public QObject {
    Q_OBJECT

private slots:
    void report_layout();
    void report_unreadable_long_text();
    void report_undeletes_first();
    void report_file_error();
    void report_cut_by_size_limit();
    void test_entries();
    void test_entries_long_text();
    void test_entries_limits();
    void test_entries_stop_on_failed_save();
};

void TestDevTools::report_layout() {
    CoreFixture fx;
    fx.start();
    fx.messages.boxes.clear();  // the missing checklist file
    add_test_entries(*fx.core, 2, "Test", kFalse, editor_hooks(*fx.core));
    add_test_entries(*fx.core, 1, "Oth", kTrue, editor_hooks(*fx.core));
    fx.restart();
    fx.messages.boxes.clear();
    QCOMPARE(fx.core->maxSummarydata_index(), 2);
    const int32_t other = fx.core->SummaryData[2].other.Index_to_other;
    QVERIFY(other > 0);

    write_index_report(*fx.core);
    const QString expected = kHeader +
                             "0\tTest : \t\t2\t\t0\t\tNotInuse\t\t4, 0, No, No, No, No, \r\n\r\n"
                             "1\tTest : \t\t3\t\t0\t\tNotInuse\t\t4, 0, No, No, No, No, \r\n\r\n"
                             "2\tOth : 0\t\t4\t\t" + QString::number(other) +
                             "\t\t4\t\t4, 0, No, No, No, No, \r\n\r\n" + kDone;
    QCOMPARE(report(fx), expected);
    QVERIFY(fx.messages.boxes.isEmpty());

    // Replaced, not appended to.
    write_index_report(*fx.core);
    QCOMPARE(report(fx), expected);
}

void TestDevTools::report_unreadable_long_text() {
    CoreFixture fx;
    fx.start();
    fx.messages.boxes.clear();  // the missing checklist file
    add_test_entries(*fx.core, 1, "A", kFalse);
    fx.core->SummaryData[1].other.present = kTrue;
    fx.core->SummaryData[1].other.Index_to_other = 999;
    write_index_report(*fx.core);
    QVERIFY(fx.messages.box_texts().contains("Error: Error read Other string from Vardata"));
    // The free element 0 and the damaged entry both get their rows.
    QCOMPARE(report(fx), kHeader +
                             "0\t\t\t0\t\t0\t\tNotInuse\t\tNo, No, No, No, No, No, \r\n\r\n"
                             "1\tA : 0\t\t2\t\t999\t\t0\t\t0, 0, No, No, No, No, \r\n\r\n" +
                             kDone);
}

void TestDevTools::report_undeletes_first() {
    CoreFixture fx;
    fx.start();
    fx.messages.boxes.clear();  // the missing checklist file
    DevToolHooks h;
    h.undo_all_entry_delete = [&] { fx.core->SummaryData[0].security = "Undone"; };
    write_index_report(*fx.core, h);
    QVERIFY(report(fx).contains("\r\n0\tUndone\t\t"));
}

void TestDevTools::report_file_error() {
    CoreFixture fx;
    fx.start();
    fx.messages.boxes.clear();  // the missing checklist file
    QVERIFY(QDir(fx.dir.path()).mkdir("report.txt"));
    write_index_report(*fx.core);
    QCOMPARE(fx.messages.boxes.size(), 1);
    QCOMPARE(fx.messages.boxes[0].first, QString("Quorbelix"));
    QVERIFY2(fx.messages.boxes[0].second.startsWith("File error on testing: "), qPrintable(fx.messages.boxes[0].second));
    QVERIFY(!read_file(fx.path("logs.txt")).contains("File error on testing"));
}

// A file-size limit cuts the new report short: the old one stays and the user is told.
void TestDevTools::report_cut_by_size_limit() {
    CoreFixture fx;
    fx.start();
    add_test_entries(*fx.core, 40, "T", kTrue, {});
    write_file(fx.path("report.txt"), "the last report");
    fx.messages.boxes.clear();
    {
        const FileSizeLimit limit(1024);
        QVERIFY(limit.in_force());
        write_index_report(*fx.core);
    }
    QCOMPARE(read_file(fx.path("report.txt")), QByteArray("the last report"));
    // The reason is the platform's ("File too large"); a sanitizer's signal handling can lose it.
    QCOMPARE(fx.messages.boxes.size(), 1);
    QVERIFY(fx.messages.box_texts()[0].startsWith("File error on testing: "));
}

void TestDevTools::test_entries() {
    CoreFixture fx;
    fx.clock.current = QDateTime(QDate(2025, 6, 30), QTime(14, 5));
    fx.start();
    fx.messages.boxes.clear();  // the missing checklist file
    int redraws = 0;
    add_test_entries(*fx.core, 5, "T", kFalse, editor_hooks(*fx.core, &redraws));
    QCOMPARE(redraws, 5);
    QVERIFY(fx.messages.boxes.isEmpty());

    fx.restart();  // everything was saved
    Core& c = *fx.core;
    QCOMPARE(c.maxSummarydata_index(), 4);
    for (int i = 0; i < 5; ++i) {
        const SummaryEntry& e = c.SummaryData[i];
        QCOMPARE(e.security, QString("T : %1").arg(i));
        QCOMPARE(e.transaction, QString("Buy"));
        QCOMPARE(e.price, Currency(i) * 10000);
        QCOMPARE(e.entry_date, ole_from_date(QDate(2025, 6, 30)));
        QCOMPARE(e.Inuse, kTrue);
        QCOMPARE(e.deleted, Flag(0));
        QCOMPARE(e.other.present, Flag(0));
        QCOMPARE(e.file_idx, i + 2);
    }
    QVERIFY(c.load_entry(3));
    const EntryChecklist& b0 = c.current_entry.entry.checklist[0];
    QCOMPARE(b0.name, QString("Dunmarrow Keep Focus"));
    QCOMPARE(b0.last_item_index, int16_t(4));
    QCOMPARE(b0.completed, kTrue);
    for (int j = 0; j <= 4; ++j) {
        QCOMPARE(b0.Item[j].answer, int16_t(answer_yes));
        QCOMPARE(b0.Item[j].text, c.Checklists[0].Item[j]);
        QCOMPARE(b0.Item[j].comment, QString("Comment #%1 Entry: T3").arg(j));
    }
    const EntryChecklist& b1 = c.current_entry.entry.checklist[1];
    QCOMPARE(b1.Inuse, kTrue);
    QCOMPARE(b1.completed, kTrue);
    QCOMPARE(b1.Item[0].answer, int16_t(answer_yes));
    QCOMPARE(c.current_entry.entry.checklist[2].Inuse, Flag(0));
}

void TestDevTools::test_entries_long_text() {
    CoreFixture fx;
    fx.start();
    fx.messages.boxes.clear();  // the missing checklist file
    add_test_entries(*fx.core, 2, "Ind", kTrue);
    fx.restart();
    QVERIFY(fx.core->load_entry(1));
    QCOMPARE(fx.core->current_entry.entry.other.present, kTrue);
    QCOMPARE(fx.core->current_entry.entry.other.text, QString("This is the otherinfo for Ind : 1"));
}

void TestDevTools::test_entries_limits() {
    CoreFixture fx;
    fx.start();
    fx.messages.boxes.clear();  // the missing checklist file
    int redraws = 0;
    DevToolHooks h;
    h.update_Title_with_entries = [&] { ++redraws; };
    add_test_entries(*fx.core, -3, "N", kFalse, h);
    add_test_entries(*fx.core, 0, "N", kFalse, h);
    QCOMPARE(redraws, 0);
    add_test_entries(*fx.core, 2001, "M", kFalse, h);
    QCOMPARE(redraws, 2000);
    QCOMPARE(fx.core->SummaryData.last().security, QString("M : 1999"));
}

void TestDevTools::test_entries_stop_on_failed_save() {
    CoreFixture fx;
    fx.start();
    fx.messages.boxes.clear();  // the missing checklist file
    QVERIFY(QFile::remove(fx.path("entries.dat")));
    QVERIFY(QDir(fx.dir.path()).mkdir("entries.dat"));
    int redraws = 0;
    DevToolHooks h;
    h.update_Title_with_entries = [&] { ++redraws; };
    add_test_entries(*fx.core, 50, "F", kFalse, h);
    QCOMPARE(redraws, 1);
    QCOMPARE(fx.messages.boxes.size(), 2);  // the file error and "Add Summary Data Failed"
    QVERIFY(fx.messages.box_texts().last().endsWith("Add Summary Data Failed. File Error"));
}

QTEST_MAIN(TestDevTools)
#include "tst_dev_tools.moc"
