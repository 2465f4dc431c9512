// The report window driven through its controls: the text written for a fixture journal,
// the selection by dates, security and type, the validation texts, the save dialog and
// the failures.
#include "report_fixture.h"
#include "reports/report.h"
#include "support/file_size_limit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace qb;
using namespace qb::test;

namespace {

const QString A130(130, u'A');

QList<EntryDef> journal() {
    EntryDef buy{"Acme Corp", "Buy", {QDate(2026, 1, 5), QTime(0, 0)}, 125000};
    buy.details = A130;
    buy.blocks = {{"Value", false, {{1, "Cheap", ""}}},
                  {"Growth", true, {{1, "Sales grow", "Yes they do"}, {2, "Margins hold", ""}}}};
    EntryDef web{"Acme Corp", "Web Page", {QDate(2026, 1, 6), QTime(14, 30)}};
    web.kind = 'w';
    web.reference = "Acme News";
    EntryDef call{"ACME CORP", "Call Notes", {QDate(2026, 1, 7), QTime(9, 15)}, 100000};
    call.kind = 'c';
    call.reference = "Q4 call";
    call.details = "Margins up.";
    EntryDef file{"Beta Inc", "File", {QDate(2026, 1, 7), QTime(0, 0)}, 25000};
    file.kind = 'f';
    file.reference = "/data/plan.pdf";
    EntryDef sell{"acme corp", "Sell", {QDate(2026, 1, 8), QTime(16, 0)}, 130000};
    EntryDef gone{"Acme Corp", "Buy", {QDate(2026, 1, 7), QTime(0, 0)}};
    gone.deleted = true;
    EntryDef longer{"Acme Corporation", "Buy", {QDate(2026, 1, 7), QTime(0, 0)}};
    EntryDef own{"Beta Inc", "Swing", {QDate(2026, 1, 9), QTime(0, 0)}};
    return {buy, web, call, file, sell, gone, longer, own};
}

const char kCrLf[] = "\r\n";

QString lines(const QStringList& l) { return l.join(QString::fromLatin1(kCrLf)) + QString::fromLatin1(kCrLf); }

struct Filter {
    QString start, end, security, trans;  // empty: its All box is checked
};

struct ReportRun : ReportFixture {
    ReportRun() : ReportFixture(journal()) {}
    Report* open() {
        mdi->menu_item("mnuReport")->trigger();
        return shell->window_as<Report>("Report");
    }
    // Fills the window as the user would and presses Create Report.
    void run(const Filter& f, const QString& path) {
        Report* r = open();
        auto fill = [](QCheckBox* all, QWidget* box, const QString& text) {
            if (text.isEmpty()) {
                QTest::mouseClick(all, Qt::LeftButton, {}, QPoint(5, all->height() / 2));
                return;
            }
            box->setFocus();
            QTest::keyClicks(box, text);
        };
        fill(r->all_dates_checkbox, r->start_textbox, f.start);
        if (!f.start.isEmpty()) fill(r->all_dates_checkbox, r->end_textbox, f.end);
        fill(r->all_securities_checkbox, r->name_textbox, f.security);
        fill(r->all_trans_checkbox, r->trans_combo->lineEdit(), f.trans);
        fx.dialogs.next_save = path;
        QTest::mouseClick(r->Do_report, Qt::LeftButton);
    }
    QString report(const QString& path) { return QString::fromLatin1(read_file(path)); }
    // "Security|Transaction" of every block, in order.
    QStringList matches(const QString& path) {
        QStringList out;
        const QStringList l = report(path).split(QString::fromLatin1(kCrLf));
        for (int i = 0; i + 3 < l.size(); ++i)
            if (l[i].startsWith("Security: ")) out << l[i].mid(10) + u'|' + l[i + 2].mid(13);
        return out;
    }
};

} // namespace

class TestReport : public QObject {
    Q_OBJECT
private slots:
    void window_opens_empty();
    void report_text_byte_for_byte();
    void selection_data();
    void selection();
    void validation_data();
    void validation();
    void check_boxes_switch_fields();
    void cancel_and_no_match();
    void view_question_opens_file();
    void replaces_existing_file();
    void failed_write_says_incomplete_and_keeps_old_file();
    void failed_write_keeps_the_older_report();
    void current_entry_untouched();
    void wrap_data();
    void wrap();
    void bad_input();
};

void TestReport::window_opens_empty() {
    ReportRun t;
    t.core().trans_type = QStringList{"Swing", "Trade"};
    Report* r = t.open();
    QVERIFY(r->isVisible());
    QCOMPARE(r->windowTitle(), QString("Quorbelix Report"));
    QVERIFY(r->isModal());
    QVERIFY(!r->all_dates_checkbox->isChecked() && !r->all_securities_checkbox->isChecked() &&
            !r->all_trans_checkbox->isChecked());
    QCOMPARE(r->all_securities_checkbox->text(), QString("All Securites "));
    QStringList items;
    for (int i = 0; i < r->trans_combo->count(); ++i) items << r->trans_combo->itemText(i);
    QCOMPARE(items, (QStringList{"Thinking", "Buy", "Sell", "Hold", "Short", "Cover Short", "Swing", "Trade", "File",
                                 "Web Page", "Call Notes"}));
    QCOMPARE(r->trans_combo->currentText(), QString());
    QCOMPARE(r->sec_instruct_label->text(),
             QString("Click All Securties to include every security OR type in a specific security."));
    QCOMPARE(r->name_textbox->palette().color(QPalette::Text), QColor(0, 0, 0xC0));
    QApplication::setActiveWindow(r);
    r->name_textbox->setFocus();
    QCOMPARE(r->name_textbox->palette().color(QPalette::Base), QColor(255, 255, 0));
    r->start_textbox->setFocus();
    QCOMPARE(r->name_textbox->palette().color(QPalette::Base), QColor(255, 255, 255));
}

void TestReport::report_text_byte_for_byte() {
    ReportRun t;
    const QString path = t.fx.path("all.txt");
    t.run({}, path);
    const QString data = "DATA FROM: All Dates for All Securities and All Transactions";
    QString expected = lines({"REPORT DATE: 3/14/2026", data, QString(data.size(), u'='), ""});
    expected += lines({"<<<<< Match #1 >>>>>", "Date: 1/5/2026", "Security: Acme Corp", "Price: 12.50",
                       "Transaction: Buy", "", "Additional Details: ", "-------------------",
                       A130.left(60), A130.mid(60, 60), A130.right(10), "", "Available Checklists:",
                       "---------------------", "Value", "Growth (Completed)", "", "Checklist: Growth",
                       "-----------------", "1. Sales grow", "", " MY CHECKMARK: Agreed/Completed",
                       " MY COMMENTS: Yes they do", "", "2. Margins hold", "", " MY CHECKMARK: Not Agreed/Completed",
                       " MY COMMENTS: ", ""});
    expected += QString::fromLatin1(kCrLf) + lines({"<<<<< Match #2 >>>>>", "Date: 1/6/2026 2:30:00 PM", "Security: Acme Corp", "Price: 0.00",
                       "Transaction: Web Page", "Web Reference: Acme News"});
    expected += QString::fromLatin1(kCrLf) + lines({"<<<<< Match #3 >>>>>", "Date: 1/7/2026 9:15:00 AM", "Security: ACME CORP", "Price: 10.00",
                       "Transaction: Call Notes", "Conference Call Topic: Q4 call", "", "Additional Details: ",
                       "-------------------", "Margins up.", ""});
    expected += QString::fromLatin1(kCrLf) + lines({"<<<<< Match #4 >>>>>", "Date: 1/7/2026", "Security: Beta Inc", "Price: 2.50",
                       "Transaction: File", "File Reference: /data/plan.pdf"});
    expected += QString::fromLatin1(kCrLf) + lines({"<<<<< Match #5 >>>>>", "Date: 1/8/2026 4:00:00 PM", "Security: acme corp", "Price: 13.00",
                       "Transaction: Sell", "Available Checklists:", "---------------------", ""});
    expected += QString::fromLatin1(kCrLf) + lines({"<<<<< Match #6 >>>>>", "Date: 1/7/2026", "Security: Acme Corporation", "Price: 0.00",
                       "Transaction: Buy", "Available Checklists:", "---------------------", ""});
    expected += QString::fromLatin1(kCrLf) + lines({"<<<<< Match #7 >>>>>", "Date: 1/9/2026", "Security: Beta Inc", "Price: 0.00",
                       "Transaction: Swing", "Available Checklists:", "---------------------", ""});
    // Each block ends with the line end of the write that once held it alone.
    expected += QString::fromLatin1(kCrLf);
    QCOMPARE(t.report(path), expected);
    QVERIFY(!t.shell->is_form_loaded("Report"));
    QCOMPARE(t.fx.messages.questions.size(), 1);
    QCOMPARE(t.fx.messages.questions[0].second,
             QString("Report Created and Saved to file. Would you like to View this Report?"));
    QCOMPARE(t.fx.messages.styles[0], kStyleInformation);
    QVERIFY(t.fx.shell.documents.isEmpty());
}

void TestReport::selection_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("security");
    QTest::addColumn<QString>("trans");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("data_line");
    QTest::newRow("end day included") << "1/6/2026" << "1/7/2026" << "" << ""
                                      << QStringList{"Acme Corp|Web Page", "ACME CORP|Call Notes", "Beta Inc|File",
                                                     "Acme Corporation|Buy"}
                                      << "DATA FROM: 1/6/2026 to 1/7/2026 for All Securities and All Transactions";
    QTest::newRow("one day with times") << " 01/08/2026 " << "2026-01-08" << "" << ""
                                        << QStringList{"acme corp|Sell"}
                                        << "DATA FROM: 1/8/2026 to 1/8/2026 for All Securities and All Transactions";
    QTest::newRow("security any case") << "" << "" << "  aCmE CoRp " << ""
                                       << QStringList{"Acme Corp|Buy", "Acme Corp|Web Page", "ACME CORP|Call Notes",
                                                      "acme corp|Sell"}
                                       << "DATA FROM: All Dates for aCmE CoRp and All Transactions";
    QTest::newRow("transaction") << "" << "" << "" << "sell" << QStringList{"acme corp|Sell"}
                                 << "DATA FROM: All Dates for All Securities and sell";
    QTest::newRow("own type") << "" << "" << "" << "Swing" << QStringList{"Beta Inc|Swing"}
                              << "DATA FROM: All Dates for All Securities and Swing";
    QTest::newRow("reference kind") << "" << "" << "" << "Call Notes" << QStringList{"ACME CORP|Call Notes"}
                                    << "DATA FROM: All Dates for All Securities and Call Notes";
    QTest::newRow("all three") << "1/5/2026" << "1/8/2026" << "acme corp" << "buy" << QStringList{"Acme Corp|Buy"}
                               << "DATA FROM: 1/5/2026 to 1/8/2026 for acme corp and buy";
}

void TestReport::selection() {
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, security);
    QFETCH(QString, trans);
    QFETCH(QStringList, expected);
    QFETCH(QString, data_line);
    ReportRun t;
    const QString path = t.fx.path("r.txt");
    t.run({start, end, security, trans}, path);
    QCOMPARE(t.matches(path), expected);
    QCOMPARE(t.report(path).split("\r\n").value(1), data_line);
    QVERIFY(t.report(path).contains(QString("<<<<< Match #%1 >>>>>").arg(expected.size())));
}

void TestReport::validation_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("security");
    QTest::addColumn<QString>("trans");
    QTest::addColumn<QString>("message");
    QTest::newRow("no start") << " " << "1/7/2026" << "x" << "Buy" << "Please enter a valid Start Date or check All Dates.";
    QTest::newRow("bad start") << "13/45/2026" << "1/7/2026" << "x" << "Buy"
                               << "Please enter a valid Start Date or check All Dates.";
    QTest::newRow("bad end") << "1/7/2026" << "soon" << "x" << "Buy" << "Please enter a valid End Date or check All Dates.";
    QTest::newRow("end before start") << "1/7/2026" << "1/6/2026" << "x" << "Buy"
                                      << "Start Date must be the same as or earlier than the End Date.";
    QTest::newRow("no security") << "1/7/2026" << "1/7/2026" << "   " << "Buy"
                                 << "Please include a Security Name, or check All Securities.";
    QTest::newRow("no transaction") << "1/7/2026" << "1/7/2026" << "x" << " "
                                    << "Please select a Transaction, or check All Transactions.";
}

void TestReport::validation() {
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, security);
    QFETCH(QString, trans);
    QFETCH(QString, message);
    ReportRun t;
    Report* r = t.open();
    QTest::keyClicks(r->start_textbox, start);
    QTest::keyClicks(r->end_textbox, end);
    QTest::keyClicks(r->name_textbox, security);
    QTest::keyClicks(r->trans_combo->lineEdit(), trans);
    QTest::mouseClick(r->Do_report, Qt::LeftButton);
    QCOMPARE(t.fx.messages.box_texts(), QStringList{"Error: " + message});
    QVERIFY(t.fx.dialogs.calls.isEmpty());
    QVERIFY(r->isVisible());
    QCOMPARE(r->start_textbox->text(), start);
}

void TestReport::check_boxes_switch_fields() {
    ReportRun t;
    Report* r = t.open();
    QTest::mouseClick(r->all_dates_checkbox, Qt::LeftButton, {}, QPoint(5, r->all_dates_checkbox->height() / 2));
    QVERIFY(!r->start_textbox->isEnabled() && !r->end_textbox->isEnabled() && r->start_textbox->isReadOnly());
    QCOMPARE(r->start_date_label->palette().color(QPalette::WindowText), QColor(0xC0, 0xC0, 0xC0));
    QCOMPARE(r->end_date_label->palette().color(QPalette::WindowText), QColor(0xC0, 0xC0, 0xC0));
    QTest::mouseClick(r->all_dates_checkbox, Qt::LeftButton, {}, QPoint(5, r->all_dates_checkbox->height() / 2));
    QVERIFY(r->start_textbox->isEnabled() && !r->start_textbox->isReadOnly());
    QCOMPARE(r->start_date_label->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    QTest::mouseClick(r->all_trans_checkbox, Qt::LeftButton, {}, QPoint(5, r->all_trans_checkbox->height() / 2));
    QVERIFY(!r->trans_combo->isEnabled());
    QCOMPARE(r->trans_label->palette().color(QPalette::WindowText), QColor(0xC0, 0xC0, 0xC0));
    QTest::mouseClick(r->all_securities_checkbox, Qt::LeftButton, {}, QPoint(5, r->all_securities_checkbox->height() / 2));
    QVERIFY(!r->name_textbox->isEnabled());
    QCOMPARE(r->security_label->palette().color(QPalette::WindowText), QColor(0xC0, 0xC0, 0xC0));
}

void TestReport::cancel_and_no_match() {
    ReportRun t;
    const QString path = t.fx.path("none.txt");
    t.run({{}, {}, "Nobody", {}}, QString());  // the dialog is cancelled
    QCOMPARE(t.fx.dialogs.calls, QStringList{"save:Quorbelix Save Report As"});
    QVERIFY(t.fx.messages.boxes.isEmpty());
    QVERIFY(t.shell->window("Report")->isVisible());
    t.shell->unload("Report");
    t.run({{}, {}, "Nobody", {}}, path);
    QCOMPARE(t.fx.messages.box_texts(), QStringList{"Warning: No matching data found. No report generated."});
    QVERIFY(!QFile::exists(path));
    QVERIFY(t.shell->is_form_loaded("Report"));
}

void TestReport::view_question_opens_file() {
    ReportRun t;
    t.fx.messages.answers.enqueue(kAnswerYes);
    t.run({{}, {}, {}, "Swing"}, t.fx.path("rep"));
    // The dialog's default extension.
    QVERIFY(QFile::exists(t.fx.path("rep.txt")));
    QCOMPARE(t.fx.shell.documents, QStringList{t.fx.path("rep.txt")});
}

void TestReport::replaces_existing_file() {
    ReportRun t;
    const QString path = t.fx.path("old.txt");
    write_file(path, QByteArray("an older and much longer report that must not survive\r\n").repeated(50));
    t.run({{}, {}, {}, "Swing"}, path);
    QVERIFY(t.report(path).startsWith("REPORT DATE: "));
    QVERIFY(!t.report(path).contains("older"));
    QCOMPARE(t.matches(path), QStringList{"Beta Inc|Swing"});
}

void TestReport::failed_write_says_incomplete_and_keeps_old_file() {
    ReportRun t;
    const QString bad = t.fx.path("no/such/folder/r.txt");
    t.run({}, bad);
    const QStringList texts = t.fx.messages.box_texts();
    QCOMPARE(texts.size(), 2);
    QVERIFY(texts[0].startsWith("Error: Failure to generate report. Error: "));
    QCOMPARE(texts[1], "Error: Report incomplete: nothing was saved to " + bad);
    QVERIFY(t.fx.messages.questions.isEmpty());
    QVERIFY(t.shell->window("Report")->isVisible());
    // A folder in place of the file: the older file beside it and the data stay as they were.
    const QByteArray entries = read_file(t.fx.path("entries.dat"));
    QDir(t.fx.dir.path()).mkdir("taken.txt");
    t.fx.messages.boxes.clear();
    t.shell->unload("Report");
    t.run({}, t.fx.path("taken.txt"));
    QCOMPARE(t.fx.messages.box_texts().size(), 2);
    QCOMPARE(read_file(t.fx.path("entries.dat")), entries);
}

// The disk fills part way through the new report: the older report is still there, byte
// for byte, and the user is told that nothing was saved.
void TestReport::failed_write_keeps_the_older_report() {
    ReportRun t;
    const QString path = t.fx.path("older.txt");
    const QByteArray older = QByteArray("REPORT DATE: 1/2/2026\r\nthe older report\r\n").repeated(4);
    write_file(path, older);
    const qint64 log = QFileInfo(t.fx.path("logs.txt")).size();
    {
        // Room for the log's two new lines, not for the new report.
        FileSizeLimit limit(rlim_t(std::max<qint64>(log, older.size()) + 600));
        QVERIFY(limit.in_force());
        t.run({}, path);
    }
    QCOMPARE(read_file(path), older);
    const QStringList texts = t.fx.messages.box_texts();
    QCOMPARE(texts.size(), 2);
    QVERIFY2(texts[0].startsWith("Error: Failure to generate report. Error: ") &&
                 texts[0].size() > QString("Error: Failure to generate report. Error: ").size(),
             qPrintable(texts[0]));
    QCOMPARE(texts[1], "Error: Report incomplete: nothing was saved to " + path);
    QVERIFY(t.fx.messages.questions.isEmpty());
    QVERIFY(t.shell->window("Report")->isVisible());
    QCOMPARE(QDir(t.fx.dir.path()).entryList({"older.txt*", ".older.txt*"}, QDir::Files | QDir::Hidden),
             QStringList{"older.txt"});
}

void TestReport::current_entry_untouched() {
    ReportRun t;
    Core& c = t.core();
    c.current_entry.entry.security = "On screen";
    c.current_entry.index = 3;
    c.current_entry.mode = mode_edit;
    c.Currententry_checklist_index = 2;
    t.run({}, t.fx.path("r.txt"));
    QCOMPARE(c.current_entry.entry.security, QString("On screen"));
    QCOMPARE(c.current_entry.index, 3);
    QCOMPARE(c.Currententry_checklist_index, int16_t(2));
}

void TestReport::wrap_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("wrapped");
    QTest::newRow("130 letters") << A130 << A130.left(60) + "\r\n" + A130.mid(60, 60) + "\r\n" + A130.right(10);
    QTest::newRow("short") << "a b c" << "a b c";
    const QString w10 = "abcdefghi ";  // six of these fill 60 columns
    QTest::newRow("break before word") << w10.repeated(6) + "xyz end" << w10.repeated(6) + "\r\nxyz end";
    QTest::newRow("long word after words") << "ab " + A130.left(70) << "ab " + A130.left(60) + "\r\n" + A130.left(10);
    QTest::newRow("carriage return") << "one\r\ntwo" << "one\r\ntwo";
    QTest::newRow("empty") << "" << "";
}

void TestReport::wrap() {
    QFETCH(QString, text);
    QFETCH(QString, wrapped);
    QCOMPARE(Report::wrap_text_at_width(text), wrapped);
}

void TestReport::bad_input() {
    // 30,000 characters of details, six blocks of 30 long items with long comments, and
    // characters the code page cannot hold.
    EntryDef big{QString::fromUtf8("Gro\u00df \u4e2d\u6587"), "Buy"};
    big.details = QString("word ").repeated(6000);
    for (int b = 0; b < 6; ++b) {
        BlockDef k{QString("List %1").arg(b), true, {}};
        for (int j = 0; j < 30; ++j) k.items << ItemDef{1, QString(1000, u'i'), QString("c ").repeated(1500)};
        big.blocks << k;
    }
    ReportFixture t({big});
    t.mdi->menu_item("mnuReport")->trigger();
    Report* r = t.shell->window_as<Report>("Report");
    for (QCheckBox* b : {r->all_dates_checkbox, r->all_securities_checkbox, r->all_trans_checkbox})
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, b->height() / 2));
    const QString path = t.fx.path("big.txt");
    t.fx.dialogs.next_save = path;
    QTest::mouseClick(r->Do_report, Qt::LeftButton);
    const QByteArray bytes = read_file(path);
    QVERIFY(bytes.contains("Security: Gro\xdf ??\r\n"));
    QCOMPARE(bytes.count("Checklist: List "), 6);
    QCOMPARE(bytes.count(" MY CHECKMARK: Agreed/Completed"), 180);
    QCOMPARE(bytes.count("\r\n"), bytes.count('\n'));
    QVERIFY(t.fx.messages.boxes.isEmpty());
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
