// Text helpers and the shell-facing helpers of the core.
#include "core/date_text.h"
#include "core/text_helpers.h"
#include "support/fakes.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QtTest>

using namespace qb;
using namespace qb::test;

class TestHelpers : public QObject {
    Q_OBJECT

private slots:
    void price_text_data();
    void price_text();
    void currency_text_data();
    void currency_text();
    void numeric_value_data();
    void numeric_value();
    void file_names_data();
    void file_names();
    void text_lines_data();
    void text_lines();
    void collection();
    void tag_reader_reads_as_get_tag_data();
    void tag_reader_reads_as_get_tag();
    void tag_reader_on_random_texts();
    void launch_data();
    void launch();
    void open_url_data();
    void open_url();
    void text_file();
    void date_texts_data();
    void date_texts();
};

void TestHelpers::price_text_data() {
    QTest::addColumn<qint64>("price");
    QTest::addColumn<QString>("text");
    QTest::newRow("12") << qint64(120000) << "12.00";
    QTest::newRow("12.5") << qint64(125000) << "12.50";
    QTest::newRow("12.25") << qint64(122500) << "12.25";
    QTest::newRow("12.125") << qint64(121250) << "12.125";
    QTest::newRow("0.0001") << qint64(1) << "0.0001";
    QTest::newRow("0") << qint64(0) << "0.00";
}

void TestHelpers::price_text() {
    QFETCH(qint64, price);
    QTEST(format_price_text(price), "text");
}

void TestHelpers::currency_text_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("value");
    QTest::newRow("plain") << "1234.50" << true << qint64(12345000);
    QTest::newRow("no whole part") << ".5" << true << qint64(5000);
    QTest::newRow("fifth decimal rounds") << "0.00005" << true << qint64(1);
    QTest::newRow("largest") << "922337203685477.5807" << true << qint64(std::numeric_limits<qint64>::max());
    QTest::newRow("too large") << "922337203685477.5808" << false << qint64(0);
    QTest::newRow("far too large") << "99999999999999999999999" << false << qint64(0);
    QTest::newRow("letters") << "12a" << false << qint64(0);
    QTest::newRow("empty") << "" << false << qint64(0);
    QTest::newRow("lone point") << "." << false << qint64(0);
}

void TestHelpers::currency_text() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    const auto v = currency_from_text(text);
    QCOMPARE(v.has_value(), valid);
    if (valid) {
        QTEST(qint64(*v), "value");
        QCOMPARE(currency_from_text(currency_to_text(*v)), v);
    }
}

void TestHelpers::numeric_value_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("number") << "87" << 87.0;
    QTest::newRow("leading blanks, trailing letters") << "  12abc" << 12.0;
    QTest::newRow("negative") << "-1" << -1.0;
    QTest::newRow("decimal") << "3.25x" << 3.25;
    QTest::newRow("none") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
}

void TestHelpers::numeric_value() {
    QFETCH(QString, text);
    QTEST(qb::numeric_value(text), "value");
}

void TestHelpers::file_names_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    QTest::newRow("backslashes") << "C:\\data\\report.txt" << "report.txt";
    QTest::newRow("slashes") << "/home/me/notes.pdf" << "notes.pdf";
    QTest::newRow("ends in separator") << "C:\\data\\" << "";
    QTest::newRow("bare name") << "file.doc" << "file.doc";
    QTest::newRow("digits and point") << "$1,234.50" << "$1,234.50";
}

void TestHelpers::file_names() {
    QFETCH(QString, path);
    QTEST(file_name_from_path(path), "name");
    QCOMPARE(keep_digits_and_point("$1,234.50"), QString("1234.50"));
}

void TestHelpers::text_lines_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lines");
    // Every character is 10 twips wide; the box is 100 twips.
    QTest::newRow("empty") << "" << 1;
    QTest::newRow("short") << "abc" << 1;
    QTest::newRow("ends in a line break") << "abc\r\n" << 2;
    QTest::newRow("exactly the width") << "abcdefghij" << 1;
    QTest::newRow("word moves whole") << "aaaa bbbbbbb" << 2;
    QTest::newRow("two breaks") << "a\r\nb\r\nc" << 3;
}

void TestHelpers::text_lines() {
    QFETCH(QString, text);
    QTEST(count_text_lines(text, 100, [](QChar) { return 10; }), "lines");
}

namespace {

// Every name that stands between a '<' and the next '>' in text, with and without a
// leading backslash, and a few that stand nowhere.
QStringList names_in(const QString& text) {
    QStringList keys = {"", "a", "b", "numlinks", "button1", "button10", "\\a", QString(64, u'x'), QString(65, u'x')};
    for (qsizetype p = text.indexOf(u'<'); p >= 0; p = text.indexOf(u'<', p + 1)) {
        const qsizetype q = text.indexOf(u'>', p);
        if (q < 0) break;
        const QString name = text.mid(p + 1, q - p - 1);
        keys << name << (name.startsWith(u'\\') ? name.mid(1) : u'\\' + name);
    }
    return keys;
}

} // namespace

void TestHelpers::tag_reader_reads_as_get_tag_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("plain items") << make_tag("numlinks", "2") + make_tag("button1", "One") + make_tag("button10", "Ten");
    QTest::newRow("a value holding a later key's tags") << "<a><b>inner<\\b><\\a><b>outer<\\b>";
    QTest::newRow("closing tag first") << "<\\a>x<a>y<\\a>z<\\a>";
    QTest::newRow("no closing tag") << "<a>x<b>y";
    QTest::newRow("empty value") << "<a><\\a><b> <\\b>";
    QTest::newRow("two openings") << "<a>1<a>2<\\a>3<\\a>";
    QTest::newRow("stray brackets") << "<<a>>v<\\a>> <> <\\> <\\\\a> <a<b>c<\\a<b> <<\\b>";
    QTest::newRow("names of 64 and 65 characters")
        << "<" + QString(64, u'x') + ">six-four<\\" + QString(64, u'x') + "><" + QString(65, u'x') + ">six-five<\\" +
               QString(65, u'x') + ">";
    QTest::newRow("a name without its end") << "<button1 and so on <\\button1>";
}

void TestHelpers::tag_reader_reads_as_get_tag() {
    QFETCH(QString, text);
    const TagReader reader(text);
    for (const QString& key : names_in(text)) QCOMPARE(reader.get(key), get_tag(key, text));
}

void TestHelpers::tag_reader_on_random_texts() {
    const QStringList pieces = {"<a>", "<\\a>", "<b>", "<\\b>", "<ab>", "<\\ab>", "<", "\\", ">", "x", "a", "\r\n"};
    QRandomGenerator random(19);
    for (int round = 0; round < 3000; ++round) {
        QString text;
        const int length = int(random.bounded(30));
        for (int i = 0; i < length; ++i) text += pieces[int(random.bounded(int(pieces.size())))];
        const TagReader reader(text);
        for (const QString& key : names_in(text))
            QVERIFY2(reader.get(key) == get_tag(key, text), qPrintable(key + u'|' + text));
    }
}

void TestHelpers::collection() {
    CoreFixture fx;
    QStringList list{"Keep"};
    QVERIFY(fx.core->string_to_collection(" , Hold , ", list));
    QCOMPARE(list, QStringList({"Keep", "Hold"}));
    QVERIFY(fx.core->string_to_collection("", list));
    QCOMPARE(list.size(), 2);
}

void TestHelpers::launch_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty does nothing") << "" << 2 << "";
    QTest::newRow("one character does nothing") << "x" << 2 << "";
    QTest::newRow("missing file") << "/no/such/file.txt" << 2 << "Error: Unable to Launch Application: File not found";
    QTest::newRow("no association") << "/tmp/a.xyz" << 31 << "Error: Unable to Launch Application: No association for file extension";
    QTest::newRow("odd code") << "/tmp/a.xyz" << 17 << "Error: Unable to Launch Application: Unknown error";
    QTest::newRow("opened") << "/tmp/a.txt" << 42 << "";
}

void TestHelpers::launch() {
    QFETCH(QString, path);
    QFETCH(int, result);
    QFETCH(QString, message);
    CoreFixture fx;
    fx.shell.document_result = result;
    fx.core->launch_application(path);
    QCOMPARE(fx.shell.documents, path.size() > 1 ? QStringList{path} : QStringList{});
    QCOMPARE(fx.messages.box_texts(), message.isEmpty() ? QStringList{} : QStringList{message});
}

void TestHelpers::open_url_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("opened");  // "" when refused
    QTest::newRow("no scheme gets http") << "www.sec.gov/edgar" << "http://www.sec.gov/edgar";
    QTest::newRow("host with port") << "localhost:8080/x" << "http://localhost:8080/x";
    QTest::newRow("https") << "https://example.com/?q=a" << "https://example.com/?q=a";
    QTest::newRow("local file refused") << "file:///etc/passwd" << "";
    QTest::newRow("drive path refused") << "C:\\Windows\\calc.exe" << "";
    QTest::newRow("script refused") << "javascript:alert(1)" << "";
    QTest::newRow("empty refused") << "" << "";
    QTest::newRow("absolute path refused") << "/usr/bin/xterm" << "";
}

void TestHelpers::open_url() {
    QFETCH(QString, address);
    QFETCH(QString, opened);
    CoreFixture fx;
    fx.core->shell_open_url(address);
    if (opened.isEmpty()) {
        QVERIFY(fx.shell.urls.isEmpty());
        QCOMPARE(fx.messages.box_texts(), QStringList{"Warning: Not a web address. Not opened: " + address});
    } else {
        QCOMPARE(fx.shell.urls, QList<QUrl>{QUrl(opened)});
        QVERIFY(fx.messages.boxes.isEmpty());
    }
}

void TestHelpers::text_file() {
    CoreFixture fx;
    const QString path = fx.path("report.txt");
    QVERIFY(fx.core->write_text_file(path, "one", false));
    QVERIFY(fx.core->write_text_file(path, QString::fromUtf8("caf\u00e9 \u20ac"), true));
    QCOMPARE(read_file(path), QByteArray("one\r\ncaf\xe9 \x80\r\n"));
    QVERIFY(fx.core->write_text_file(path, "new", false));
    QCOMPARE(read_file(path), QByteArray("new\r\n"));
    QVERIFY(!fx.core->write_text_file(fx.path("no/such/folder/r.txt"), "x", false));
    QVERIFY(fx.messages.box_texts().last().startsWith("Error: Failure to generate report. Error: "));
}

void TestHelpers::date_texts_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");  // invalid: refused
    const QDate d(2024, 5, 6);
    QTest::newRow("short form") << "en_US" << "5/6/2024" << d;
    QTest::newRow("two-digit year") << "en_US" << " 5/6/24 " << d;
    QTest::newRow("with a 12-hour time") << "en_US" << "5/6/2024 12:00:00 PM" << d;
    QTest::newRow("with a short time") << "en_US" << "5/6/2024 9:30 AM" << d;
    QTest::newRow("ISO date and time") << "en_US" << "2024-05-06T12:00:00" << d;
    QTest::newRow("ISO date, blank, time") << "en_US" << "2024-05-06 12:00:00" << d;
    QTest::newRow("day first with its time") << "de_DE" << "06.05.2024 14:05:09" << d;
    QTest::newRow("no locale of its own") << "C" << "5/6/2024 2:05:09 PM" << d;
    QTest::newRow("time that is none") << "en_US" << "5/6/2024 noon" << QDate();
    QTest::newRow("time alone") << "en_US" << "12:00:00 PM" << QDate();
    QTest::newRow("impossible day") << "en_US" << "2/30/2024 1:00:00 PM" << QDate();
}

void TestHelpers::date_texts() {
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QLocale::setDefault(QLocale(locale));
    const QDate parsed = parse_date_text(text);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCOMPARE(parsed, date);
}

QTEST_GUILESS_MAIN(TestHelpers)
#include "tst_helpers.moc"
