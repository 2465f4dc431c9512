// Checklist export files: the exact text written, the round trip, and every refusal.
#include "core/checklist_export.h"
#include "core/ole_date.h"
#include "support/fakes.h"
#include "support/growth.h"

#include <QDir>
#include <QLocale>
#include <QtTest>

using namespace qb;
using namespace qb::test;

namespace {

Checklist sample_checklist(int items) {
    Checklist c;
    c.file_idx = 7;
    c.ShowIt = 1;
    c.Inuse = kTrue;
    c.Version = 3;
    c.Name = "  Value Rules ";
    c.Author = "A. Reader";
    c.BookRef = "The Patient Investor, ch. 4";
    c.Copyright = QString::fromUtf8("© 2024");
    c.Date = ole_from_datetime(QDateTime(QDate(2024, 3, 14), QTime(14, 30)));
    c.WebSite = "http://example.org/rules";
    c.WhyUse = "Keeps me calm.\r\nSecond line.";
    c.TotalItems = int16_t(items);
    for (int j = 0; j < items; ++j) c.Item[size_t(j)] = QStringLiteral("Item number %1 ").arg(j + 1);
    return c;
}

QByteArray export_file(const QString& body) { return ("Quorbelix Checklist Export: 1.0\r\n" + body).toLatin1(); }

// A started Core; the fresh folder's "no checklist file" notice is not part of any test.
void start_quietly(CoreFixture& fx) {
    fx.start();
    fx.messages.boxes.clear();
}

QString tag(const QString& key, const QString& value) { return "<" + key + ">" + value + "<\\" + key + ">\r\n"; }

} // namespace

class TestChecklistExport : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void cleanup() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void export_writes_exact_text();
    void round_trip_data();
    void round_trip();
    void import_refusals_data();
    void import_refusals();
    void import_tolerates_data();
    void import_tolerates();
    void dates_data();
    void dates();
    void export_date_in_regional_form_data();
    void export_date_in_regional_form();
    void export_failure_is_reported();
    void import_takes_linear_time_data();
    void import_takes_linear_time();
};

void TestChecklistExport::export_writes_exact_text() {
    CoreFixture fx;
    start_quietly(fx);
    Checklist c = sample_checklist(2);
    c.Item[2] = "beyond the count";
    fx.core->Checklists.append(c);
    const QString path = fx.path("out.txt");
    fx.core->export_checklist(path, int16_t(fx.core->maxChecklists_index()));

    const QByteArray expected = "Quorbelix Checklist Export: 1.0\r\n"
                                "<Name>Value Rules<\\Name>\r\n"
                                "<Author>A. Reader<\\Author>\r\n"
                                "<BookRef>The Patient Investor, ch. 4<\\BookRef>\r\n"
                                "<Copyright>\xA9 2024<\\Copyright>\r\n"
                                "<Date>3/14/2024 2:30:00 PM<\\Date>\r\n"
                                "<TotalItems>2<\\TotalItems>\r\n"
                                "<Version>3<\\Version>\r\n"
                                "<WebSite>http://example.org/rules<\\WebSite>\r\n"
                                "<WhyUse>Keeps me calm.\r\nSecond line.<\\WhyUse>\r\n"
                                "<Item1>Item number 1<\\Item1>\r\n"
                                "<Item2>Item number 2<\\Item2>\r\n"
                                "\r\n";
    QCOMPARE(read_file(path), expected);
    QCOMPARE(fx.messages.boxes.size(), 0);
}

void TestChecklistExport::round_trip_data() {
    QTest::addColumn<int>("items");
    QTest::addColumn<QString>("locale");
    QTest::newRow("one item") << 1 << "en_US";
    QTest::newRow("thirty items") << 30 << "en_US";
    QTest::newRow("no items") << 0 << "en_US";
    QTest::newRow("day-first locale") << 5 << "de_DE";
}

void TestChecklistExport::round_trip() {
    QFETCH(int, items);
    QFETCH(QString, locale);
    CoreFixture fx;
    start_quietly(fx);
    QLocale::setDefault(QLocale(locale));
    const Checklist c = sample_checklist(items);
    fx.core->Checklists.append(c);
    const QString path = fx.path("round.txt");
    fx.core->export_checklist(path, int16_t(fx.core->maxChecklists_index()));
    if (items == 30) QVERIFY(read_file(path).contains("<Item30>Item number 30<\\Item30>"));

    Checklist r = fx.core->blank_checklist;
    QVERIFY(fx.core->import_checklist(r, path));
    QCOMPARE(r.Name, QString("Value Rules"));
    QCOMPARE(r.Author, c.Author);
    QCOMPARE(r.BookRef, c.BookRef);
    QCOMPARE(r.Copyright, c.Copyright);
    QCOMPARE(r.WebSite, c.WebSite);
    QCOMPARE(r.WhyUse, c.WhyUse);
    QCOMPARE(r.TotalItems, c.TotalItems);
    QCOMPARE(r.Version, c.Version);
    for (int j = 0; j < items; ++j) QCOMPARE(r.Item[size_t(j)], QStringLiteral("Item number %1").arg(j + 1));
    QCOMPARE(datetime_from_ole(r.Date), QDateTime(QDate(2024, 3, 14), QTime(14, 30)));
    QCOMPARE(r.file_idx, 0);
    QCOMPARE(r.ShowIt, int16_t(0));
    QCOMPARE(r.Inuse, kTrue);
    QCOMPARE(r.deleted, kFalse);
    QCOMPARE(fx.messages.boxes.size(), 0);
}

void TestChecklistExport::import_refusals_data() {
    QTest::addColumn<QByteArray>("content");  // "(none)": no file at all
    QTest::addColumn<QString>("message");     // the start of the one box shown

    const QString first_line = "Error: File not formated correctly (first line is incorrect)";
    const QString unreadable = "Error: Unable to read the imported checklist file. Error: ";
    const QString good = tag("Name", "N") + tag("TotalItems", "1") + tag("Item1", "x");
    QTest::newRow("missing file") << QByteArray("(none)") << unreadable;
    QTest::newRow("empty file") << QByteArray() << first_line;
    QTest::newRow("no header") << good.toLatin1() << first_line;
    QTest::newRow("header in other case") << ("quorbelix Checklist Export: 1.0\r\n" + good).toLatin1() << first_line;
    QTest::newRow("blank before header") << (" Quorbelix Checklist Export: 1.0\r\n" + good).toLatin1() << first_line;
    QTest::newRow("other program's header") << ("Quorbelux Checklist Export: 1.0\r\n" + good).toLatin1() << first_line;
    QTest::newRow("31 items") << export_file(tag("Name", "N") + tag("TotalItems", "31")) << unreadable + "the item count 31";
    QTest::newRow("negative count") << export_file(tag("Name", "N") + tag("TotalItems", "-1"))
                                    << unreadable + "the item count -1";
    QTest::newRow("count beyond 16 bits") << export_file(tag("Name", "N") + tag("TotalItems", "70000"))
                                          << unreadable + "the item count 70000";
    QTest::newRow("version beyond 16 bits") << export_file(tag("Name", "N") + tag("Version", "40000"))
                                            << unreadable + "the version 40000";
    QTest::newRow("header only") << export_file(QString()) << unreadable + "the file holds no checklist";
    QTest::newRow("tags never closed") << export_file("<Name>N<TotalItems>2<Item1>a") << unreadable + "the file holds no checklist";
    QTest::newRow("far too large") << export_file(QString(2 << 20, u'x')) << unreadable + "the file is too large";
}

void TestChecklistExport::import_refusals() {
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    CoreFixture fx;
    start_quietly(fx);
    const QString path = fx.path("in.txt");
    if (content != "(none)") write_file(path, content);

    Checklist r;
    r.Name = "keep me";
    r.TotalItems = 2;
    r.Item[0] = "kept";
    QVERIFY(!fx.core->import_checklist(r, path));
    QCOMPARE(r.Name, QString("keep me"));
    QCOMPARE(r.TotalItems, int16_t(2));
    QCOMPARE(r.Item[0], QString("kept"));
    QCOMPARE(fx.messages.boxes.size(), 1);
    QVERIFY2(fx.messages.boxes[0].second.startsWith(message), qPrintable(fx.messages.boxes[0].second));
}

void TestChecklistExport::import_tolerates_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("whyuse");
    QTest::addColumn<QStringList>("items");  // all 30 slots are checked against the first ones given

    QTest::newRow("missing item tag") << export_file(tag("Name", "N") + tag("TotalItems", "3") + tag("Item1", "a") +
                                                     tag("Item2", "b"))
                                      << "N" << "" << QStringList{"a", "b", "", "old 4"};
    QTest::newRow("any order, no trailing line") << QByteArray("Quorbelix\n<Item2>b<\\Item2><TotalItems>2<\\TotalItems>"
                                                               "<Item1>a<\\Item1><Name>N<\\Name>")
                                                 << "N" << "" << QStringList{"a", "b", "old 3"};
    QTest::newRow("value quoting another tag")
        << export_file(tag("Name", "N") + tag("WhyUse", "write <Item1>x<\\Item1> for an item") + tag("TotalItems", "1") +
                       tag("Item1", "real"))
        << "N" << "write <Item1>x<\\Item1> for an item" << QStringList{"real"};
    QTest::newRow("stray tags between items")
        << export_file("<\\Author>" + tag("Name", "N") + "<Open>" + tag("TotalItems", "1") + "< >" + tag("Item1", "a"))
        << "N" << "" << QStringList{"a", "old 2"};
    QTest::newRow("count with text after it") << export_file(tag("Name", "N") + tag("TotalItems", "2 items") +
                                                             tag("Item1", "a") + tag("Item2", "b"))
                                              << "N" << "" << QStringList{"a", "b", "old 3"};
    QTest::newRow("count rounds half to even") << export_file(tag("Name", "N") + tag("TotalItems", "2.5") +
                                                              tag("Item1", "a") + tag("Item2", "b") + tag("Item3", "c"))
                                               << "N" << "" << QStringList{"a", "b", "old 3"};
    QTest::newRow("name only") << export_file(tag("Name", "Lonely")) << "Lonely" << "" << QStringList{"old 1"};
}

void TestChecklistExport::import_tolerates() {
    QFETCH(QByteArray, content);
    QFETCH(QString, name);
    QFETCH(QString, whyuse);
    QFETCH(QStringList, items);
    CoreFixture fx;
    start_quietly(fx);
    const QString path = fx.path("in.txt");
    write_file(path, content);
    Checklist r;
    for (int j = 0; j < kItemsPerChecklist; ++j) r.Item[size_t(j)] = QStringLiteral("old %1").arg(j + 1);

    QVERIFY(fx.core->import_checklist(r, path));
    QCOMPARE(fx.messages.boxes.size(), 0);
    QCOMPARE(r.Name, name);
    QCOMPARE(r.WhyUse, whyuse);
    for (int j = 0; j < items.size(); ++j) QCOMPARE(r.Item[size_t(j)], items[j]);
}

void TestChecklistExport::dates_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("expected");
    const QDateTime today(QDate(2026, 3, 14), QTime(0, 0));  // the fake clock's day
    const QDate d(2024, 3, 14);
    QTest::newRow("regional") << "en_US" << "3/14/2024" << QDateTime(d, QTime(0, 0));
    QTest::newRow("regional with time") << "en_US" << "3/14/2024 2:30:00 PM" << QDateTime(d, QTime(14, 30));
    QTest::newRow("two-digit year") << "en_US" << "3/14/24" << QDateTime(d, QTime(0, 0));
    QTest::newRow("ISO date") << "en_US" << "2024-03-14" << QDateTime(d, QTime(0, 0));
    QTest::newRow("ISO date and time") << "en_US" << "2024-03-14T09:15:00" << QDateTime(d, QTime(9, 15));
    QTest::newRow("day-first regional") << "de_DE" << "14.03.2024" << QDateTime(d, QTime(0, 0));
    QTest::newRow("day-first with its own time") << "de_DE" << "14.03.2024 09:15:07" << QDateTime(d, QTime(9, 15, 7));
    QTest::newRow("day-first with a 12-hour time") << "de_DE" << "14.03.2024 9:15:07 PM" << QDateTime(d, QTime(21, 15, 7));
    QTest::newRow("24-hour time on a 12-hour system") << "en_US" << "3/14/2024 21:15:07" << QDateTime(d, QTime(21, 15, 7));
    QTest::newRow("US file on day-first system") << "de_DE" << "3/14/2024" << QDateTime(d, QTime(0, 0));
    QTest::newRow("empty") << "en_US" << "" << today;
    QTest::newRow("garbage") << "en_US" << "next tuesday" << today;
    QTest::newRow("impossible day") << "en_US" << "2/30/2024" << today;
}

void TestChecklistExport::dates() {
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(QDateTime, expected);
    CoreFixture fx;
    start_quietly(fx);
    QLocale::setDefault(QLocale(locale));
    const QString path = fx.path("in.txt");
    write_file(path, export_file(tag("Name", "N") + (text.isEmpty() ? QString() : tag("Date", text))));
    Checklist r;
    QVERIFY(fx.core->import_checklist(r, path));
    QCOMPARE(datetime_from_ole(r.Date), expected);
}

void TestChecklistExport::export_date_in_regional_form_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("expected");
    QTest::newRow("month first, 12-hour") << "en_US" << QTime(14, 5, 9) << "3/14/2024 2:05:09 PM";
    QTest::newRow("day first, 24-hour") << "de_DE" << QTime(14, 5, 9) << "14.03.2024 14:05:09";
    QTest::newRow("British") << "en_GB" << QTime(9, 5, 9) << "14/03/2024 09:05:09";
    QTest::newRow("midnight has no time") << "de_DE" << QTime(0, 0) << "14.03.2024";
}

void TestChecklistExport::export_date_in_regional_form() {
    QFETCH(QString, locale);
    QFETCH(QTime, time);
    QFETCH(QString, expected);
    CoreFixture fx;
    start_quietly(fx);
    QLocale::setDefault(QLocale(locale));
    Checklist c = sample_checklist(1);
    c.Date = ole_from_datetime(QDateTime(QDate(2024, 3, 14), time));
    fx.core->Checklists.append(c);
    const QString path = fx.path("out.txt");
    fx.core->export_checklist(path, int16_t(fx.core->maxChecklists_index()));
    const QString text = QString::fromLatin1(read_file(path));
    QVERIFY2(text.contains("<Date>" + expected + "<\\Date>"), qPrintable(text));
    // The file reads back to the same moment.
    Checklist r;
    QVERIFY(fx.core->import_checklist(r, path));
    QCOMPARE(datetime_from_ole(r.Date), QDateTime(QDate(2024, 3, 14), time));
}

void TestChecklistExport::export_failure_is_reported() {
    CoreFixture fx;
    start_quietly(fx);
    fx.core->export_checklist(fx.path("no such folder/out.txt"), 0);
    QCOMPARE(fx.messages.boxes.size(), 1);
    QVERIFY(fx.messages.boxes[0].second.startsWith("Error: Failure to export Checklist. Error: "));
    QVERIFY(!QFile::exists(fx.path("no such folder/out.txt")));

    fx.core->export_checklist(fx.path("out.txt"), 99);  // no such checklist
    QCOMPARE(fx.messages.boxes.size(), 2);
    QVERIFY(fx.messages.boxes[1].second.startsWith("Error: Failure to export Checklist. Error: "));
    QVERIFY(!QFile::exists(fx.path("out.txt")));
}

void TestChecklistExport::import_takes_linear_time_data() {
    QTest::addColumn<QByteArray>("unit");
    QTest::newRow("unclosed tags") << QByteArray("<a>");
    QTest::newRow("unclosed distinct tags") << QByteArray("<Item1>x<Item2>");
    QTest::newRow("lone opening brackets") << QByteArray("<");
    QTest::newRow("brackets, one far close") << QByteArray("<<ab");
    QTest::newRow("stray closing tags") << QByteArray("<\\Name>");
    QTest::newRow("closes before opens") << QByteArray("<\\a><a>");
}

// Whatever tags a file holds, 32 times the bytes take about 32 times as long to import; a
// quadratic import takes 1024 times. The bound leaves room for the larger file's cache
// misses on a busy machine (up to 93 times seen with 24 copies running on 8 cores).
void TestChecklistExport::import_takes_linear_time() {
    QFETCH(QByteArray, unit);
    CoreFixture fx;
    fx.start();
    auto make = [&](const QString& name, qsizetype size) {
        QByteArray bytes = "Quorbelix Checklist Export: 1.0\r\n";
        while (bytes.size() + unit.size() <= size) bytes += unit;
        bytes += QByteArray(size - bytes.size(), ' ');
        write_file(fx.path(name), bytes);
    };
    make("small.txt", 1 << 15);
    make("large.txt", 1 << 20);  // the largest file that is read
    const Growth g = measure_growth([&](bool large) {
        Checklist c;
        fx.core->import_checklist(c, fx.path(large ? "large.txt" : "small.txt"));
    });
    QVERIFY2(g.ratio() < 256, qPrintable(g.text()));
}

QTEST_MAIN(TestChecklistExport)
#include "tst_checklist_export.moc"
