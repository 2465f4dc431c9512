// Quote, headline and history fetches: the exact addresses, the second quote host,
// failures as "", and the reading of one symbol out of a quote reply.
#include "core/market_fetch.h"
#include "core/service_hosts.h"
#include "support/fakes.h"

#include <QStringEncoder>
#include <QUrlQuery>
#include <QtTest>

using namespace qb;
using namespace qb::test;

using Reply = std::optional<QByteArray>;
Q_DECLARE_METATYPE(Reply)

namespace {

const QByteArray kIbmLine = "\"IBM\",84.50,\"3/14/2026\",\"4:00pm\",+0.25,84.10,84.90,83.80,1234567\r\n";

QString encoded(const QUrl& url) { return url.toString(QUrl::FullyEncoded); }

QString quote_url(const char* host, const QString& encoded_symbols) {
    return QStringLiteral("http://") + host + "/d/quotes.csv?s=" + encoded_symbols + "&f=sl1d1t1c1ohgv&e=.csv";
}

} // namespace

class TestMarketFetch : public QObject {
    Q_OBJECT

private slots:
    void quote_address_data();
    void quote_address();
    void quote_second_host_data();
    void quote_second_host();
    void news_address();
    void history_address_data();
    void history_address();
    void history_invalid_date_is_not_sent();
    void quote_fetch_shares_one_deadline();
    void reply_text_decoding_data();
    void reply_text_decoding();
    void feed_decoding_data();
    void feed_decoding();
    void feed_encodings_data();
    void feed_encodings();
    void invalid_utf8_data();
    void invalid_utf8();
    void through_current_core();
    void parse_data();
    void parse();
    void host_forms_data();
    void host_forms();
};

void TestMarketFetch::quote_address_data() {
    QTest::addColumn<QString>("symbols");
    QTest::addColumn<QString>("in_query");
    QTest::newRow("one") << "IBM" << "IBM";
    QTest::newRow("several, case kept") << "IBM,msft,Ge" << "IBM,msft,Ge";
    QTest::newRow("index caret") << "^GSPC,IBM" << "%5EGSPC,IBM";
    QTest::newRow("ampersand cannot add a key") << "A&f=x" << "A%26f%3Dx";
    QTest::newRow("hash cannot cut the query") << "X#Y" << "X%23Y";
    QTest::newRow("blank") << "BRK B" << "BRK%20B";
    QTest::newRow("period and dash stay") << "BRK.B,BF-B" << "BRK.B,BF-B";
    QTest::newRow("empty") << "" << "";
}

void TestMarketFetch::quote_address() {
    QFETCH(QString, symbols);
    QFETCH(QString, in_query);
    FakeHttp http;
    // The reply holds the first asked symbol, or it would not count as an answer.
    const QByteArray reply = QByteArray(kIbmLine) + '"' + symbols.section(u',', 0, 0).toUtf8() + "\",1.00\r\n";
    http.replies.enqueue(reply);
    QCOMPARE(get_one_quote(&http, symbols), QString::fromUtf8(reply));
    QCOMPARE(http.requests.size(), 1);
    QCOMPARE(encoded(http.requests[0]), quote_url(service_hosts::kQuotePrimary, in_query));
    // The service reads back exactly what the caller asked for, and nothing more.
    const QUrlQuery query(http.requests[0]);
    QCOMPARE(query.queryItems().size(), 3);
    QCOMPARE(query.queryItemValue("s", QUrl::FullyDecoded), symbols);
    QCOMPARE(query.queryItemValue("f"), QString("sl1d1t1c1ohgv"));
}

void TestMarketFetch::quote_second_host_data() {
    QTest::addColumn<Reply>("first");
    QTest::addColumn<Reply>("second");
    QTest::addColumn<bool>("asks_second");
    QTest::addColumn<QString>("result");
    const Reply ok = kIbmLine;
    QTest::newRow("valid first") << ok << Reply("unused") << false << QString::fromLatin1(kIbmLine);
    QTest::newRow("first failed") << Reply() << ok << true << QString::fromLatin1(kIbmLine);
    QTest::newRow("first empty") << Reply("") << ok << true << QString::fromLatin1(kIbmLine);
    QTest::newRow("error text") << Reply("Missing Symbols List.") << ok << true << QString::fromLatin1(kIbmLine);
    QTest::newRow("html error page")
        << Reply("<html><head><title>Service Unavailable</title></head><body>Try again later.</body></html>") << ok
        << true << QString::fromLatin1(kIbmLine);
    QTest::newRow("cut off") << Reply("\"IBM\",84.50,\"3/14/2026\"") << ok << true << QString::fromLatin1(kIbmLine);
    QTest::newRow("commas without periods") << Reply("a,b,c,d,e,f,g") << ok << true << QString::fromLatin1(kIbmLine);
    // The last character is never counted.
    QTest::newRow("counts reached at last char") << Reply(",,,,,...") << ok << true << QString::fromLatin1(kIbmLine);
    QTest::newRow("counts reached before last char") << Reply(",,,,,...\"IBM\"x") << ok << false
                                                     << QString(",,,,,...\"IBM\"x");
    // Status 200 with none of the asked symbols: an error page, not quotes.
    QTest::newRow("quote-like without the symbols") << Reply(",,,,,...x") << ok << true << QString::fromLatin1(kIbmLine);
    QTest::newRow("huge body of junk") << Reply(QByteArray(2 * 1024 * 1024, 'x')) << ok << true
                                       << QString::fromLatin1(kIbmLine);
    QTest::newRow("second without the symbols") << Reply("Missing") << Reply("<html>Missing too, 1.2.3,,,,,</html>")
                                                << true << "";
    QTest::newRow("second holds one symbol") << Reply("Missing") << Reply("\"^DJI\",1") << true << "\"^DJI\",1";
    QTest::newRow("both failed") << Reply() << Reply() << true << "";
    QTest::newRow("second failed") << Reply("junk") << Reply() << true << "";
}

// Both hosts together are waited for 30 s at most, not 30 s each.
void TestMarketFetch::quote_fetch_shares_one_deadline() {
    FakeHttp http;
    http.replies << Reply("<html>busy</html>") << Reply("<html>busy</html>");
    // 30 s from the call: bracketed by deadlines set just before and just after it, so
    // no time the machine takes in between can move the check.
    const QDeadlineTimer before(30000);
    QCOMPARE(get_one_quote(&http, "IBM"), QString());
    const QDeadlineTimer after(30000);
    QCOMPARE(http.deadlines.size(), 2);
    QCOMPARE(http.deadlines[0].deadlineNSecs(), http.deadlines[1].deadlineNSecs());
    QVERIFY(http.deadlines[0].deadlineNSecs() >= before.deadlineNSecs());
    QVERIFY(http.deadlines[0].deadlineNSecs() <= after.deadlineNSecs());
}

void TestMarketFetch::quote_second_host() {
    QFETCH(Reply, first);
    QFETCH(Reply, second);
    QFETCH(bool, asks_second);
    QFETCH(QString, result);
    FakeHttp http;
    http.replies << first << second;
    QCOMPARE(get_one_quote(&http, "IBM,^DJI"), result);
    QCOMPARE(http.requests.size(), asks_second ? 2 : 1);
    QCOMPARE(encoded(http.requests[0]), quote_url(service_hosts::kQuotePrimary, "IBM,%5EDJI"));
    if (asks_second) QCOMPARE(encoded(http.requests[1]), quote_url(service_hosts::kQuoteSecond, "IBM,%5EDJI"));
}

void TestMarketFetch::news_address() {
    FakeHttp http;
    http.replies << Reply("<rss>one</rss>") << Reply();
    QCOMPARE(get_stock_news(&http, "IBM"), QString("<rss>one</rss>"));
    QCOMPARE(get_stock_news(&http, "A&B #1"), QString());  // a failure is just ""
    QCOMPARE(http.requests.size(), 2);
    QCOMPARE(encoded(http.requests[0]), QString("http://news.quorbelix.com/rss/headline?s=IBM"));
    QCOMPARE(encoded(http.requests[1]), QString("http://news.quorbelix.com/rss/headline?s=A%26B%20%231"));
    QCOMPARE(get_stock_news(nullptr, "IBM"), QString());
}

void TestMarketFetch::history_address_data() {
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("second");
    QTest::addColumn<QString>("query");
    QTest::newRow("months from 0")
        << QDate(2005, 3, 5) << QDate(2005, 8, 18) << "d=7&e=18&f=2005&g=d&a=2&b=5&c=2005";
    QTest::newRow("12 months is daily")
        << QDate(2004, 1, 15) << QDate(2005, 1, 14) << "d=0&e=14&f=2005&g=d&a=0&b=15&c=2004";
    QTest::newRow("13 months is weekly")
        << QDate(2004, 1, 15) << QDate(2005, 2, 1) << "d=1&e=1&f=2005&g=w&a=0&b=15&c=2004";
    QTest::newRow("24 months is weekly")
        << QDate(2004, 1, 15) << QDate(2006, 1, 1) << "d=0&e=1&f=2006&g=w&a=0&b=15&c=2004";
    QTest::newRow("25 months is monthly")
        << QDate(2004, 1, 15) << QDate(2006, 2, 1) << "d=1&e=1&f=2006&g=m&a=0&b=15&c=2004";
    QTest::newRow("dates reversed")
        << QDate(2006, 2, 1) << QDate(2004, 1, 15) << "d=0&e=15&f=2004&g=m&a=1&b=1&c=2006";
    QTest::newRow("december is 11")
        << QDate(2005, 12, 31) << QDate(2005, 12, 31) << "d=11&e=31&f=2005&g=d&a=11&b=31&c=2005";
}

void TestMarketFetch::history_address() {
    QFETCH(QDate, first);
    QFETCH(QDate, second);
    QFETCH(QString, query);
    FakeHttp http;
    http.replies << Reply("Date,Open\n");
    QCOMPARE(get_hist_quote(&http, "IBM", first, second), QString("Date,Open\n"));
    QCOMPARE(http.requests.size(), 1);
    QCOMPARE(encoded(http.requests[0]), "http://history.quorbelix.com/table.csv?s=IBM&" + query + "&ignore=.csv");
}

void TestMarketFetch::history_invalid_date_is_not_sent() {
    FakeHttp http;
    http.replies << Reply("x");
    QCOMPARE(get_hist_quote(&http, "IBM", QDate(), QDate(2005, 1, 1)), QString());
    QCOMPARE(get_hist_quote(&http, "IBM", QDate(2005, 1, 1), QDate(2005, 2, 30)), QString());
    QVERIFY(http.requests.isEmpty());
    http.replies.clear();
    QCOMPARE(get_hist_quote(&http, "IBM", QDate(2005, 1, 1), QDate(2005, 2, 1)), QString());  // failed
    QCOMPARE(http.requests.size(), 1);
}

void TestMarketFetch::reply_text_decoding_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("text");
    QTest::newRow("utf-8") << QByteArray("Caf\xc3\xa9 \xe2\x82\xac") << QString::fromUtf8("Café €");
    QTest::newRow("windows-1252") << QByteArray("Caf\xe9 \x80") << QString::fromUtf8("Café €");
}

void TestMarketFetch::reply_text_decoding() {
    QFETCH(QByteArray, body);
    QFETCH(QString, text);
    FakeHttp http;
    http.replies << Reply(body);
    QCOMPARE(get_hist_quote(&http, "IBM", QDate(2005, 1, 1), QDate(2005, 2, 1)), text);
}

// A feed says how its bytes are written: by a byte order mark, else the charset of its
// Content-Type, else its XML declaration; without any of them they are UTF-8.
void TestMarketFetch::feed_decoding_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QString>("text");
    const QByteArray utf8 = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
    const QByteArray latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>";
    const QByteArray xml = "text/xml";
    const QByteArray xml_latin1 = "text/xml; charset=ISO-8859-1";
    const QByteArray xml_utf8 = "text/xml; charset=utf-8";
    const QString cafe = QString::fromUtf8("<t>Caf\xc3\xa9 Soci\xc3\xa9t\xc3\xa9 \xc3\xa0 Z\xc3\xbcrich</t>");
    const QByteArray cafe_latin1 = "<t>Caf\xe9 Soci\xe9t\xe9 \xe0 Z\xfcrich</t>";
    const QByteArray cafe_utf8 = cafe.toUtf8();
    QStringEncoder to_le(QStringEncoder::Utf16LE), to_be(QStringEncoder::Utf16BE);
    const QByteArray cafe_le = to_le(cafe), cafe_be = to_be(cafe);

    // The declaration alone.
    QTest::newRow("utf-8 declared") << utf8 + "Caf\xc3\xa9" << xml << QString::fromUtf8(utf8 + "Caf\xc3\xa9");
    // A byte that is not UTF-8 is read as the Windows code page, on its own: the letters
    // around it stay as written.
    QTest::newRow("utf-8 with a stray byte") << utf8 + "Caf\xc3\xa9 \x92 \xe2\x80\x94" << xml
                                             << QString::fromUtf8(utf8 + "Caf\xc3\xa9 \xe2\x80\x99 \xe2\x80\x94");
    QTest::newRow("iso-8859-1 declared") << latin1 + "Caf\xe9" << xml << QString::fromUtf8(latin1 + "Caf\xc3\xa9");
    // Bytes that would also read as UTF-8 are read by the declaration all the same.
    QTest::newRow("iso-8859-1 bytes that look like utf-8") << latin1 + "\xc3\xa9" << QByteArray()
                                                           << QString::fromUtf8(latin1 + "\xc3\x83\xc2\xa9");
    QTest::newRow("declared in lower case, single quotes, blanks")
        << QByteArray("\r\n<?xml version='1.0' encoding = 'iso-8859-1' ?>\xc3\xa9") << xml
        << QString::fromUtf8("\r\n<?xml version='1.0' encoding = 'iso-8859-1' ?>\xc3\x83\xc2\xa9");
    QTest::newRow("windows-1252 declared") << QByteArray("<?xml encoding=\"windows-1252\"?>\x93up\x94") << xml
                                           << QString::fromUtf8("<?xml encoding=\"windows-1252\"?>\xe2\x80\x9cup\xe2\x80\x9d");
    QTest::newRow("declaration later in the text is none")
        << QByteArray("<rss><?xml encoding=\"ISO-8859-1\"?>\xc3\xa9</rss>") << xml
        << QString::fromUtf8("<rss><?xml encoding=\"ISO-8859-1\"?>\xc3\xa9</rss>");

    // A byte order mark, dropped from the text, over everything else.
    QTest::newRow("utf-8 mark") << QByteArray("\xEF\xBB\xBF") + utf8 + "\xc3\xa9" << xml << QString::fromUtf8(utf8 + "\xc3\xa9");
    QTest::newRow("utf-8 mark over a latin-1 header and declaration")
        << QByteArray("\xEF\xBB\xBF") + latin1 + cafe_utf8 << xml_latin1 << QString::fromLatin1(latin1) + cafe;
    QTest::newRow("utf-16le mark") << QByteArray("\xFF\xFE") + cafe_le << xml << cafe;
    QTest::newRow("utf-16be mark") << QByteArray("\xFE\xFF") + cafe_be << QByteArray() << cafe;
    QTest::newRow("utf-16le mark over a utf-8 header") << QByteArray("\xFF\xFE") + cafe_le << xml_utf8 << cafe;

    // The header's charset over the declaration.
    QTest::newRow("latin-1 named only by the header") << cafe_latin1 << xml_latin1 << cafe;
    QTest::newRow("header charset quoted, in odd case, among other parameters")
        << cafe_latin1 << QByteArray("application/rss+xml ; q=1;Charset = \"iso-8859-1\"") << cafe;
    QTest::newRow("utf-8 header over a latin-1 declaration") << latin1 + cafe_utf8 << xml_utf8
                                                             << QString::fromLatin1(latin1) + cafe;
    QTest::newRow("windows header over a utf-8 declaration")
        << utf8 + "\x93up\x94" << QByteArray("text/xml; charset=windows-1252")
        << QString::fromUtf8(utf8 + "\xe2\x80\x9cup\xe2\x80\x9d");
    QTest::newRow("utf-16le named only by the header") << cafe_le << QByteArray("text/xml; charset=UTF-16LE") << cafe;

    // Names not known are passed over, down to UTF-8.
    QTest::newRow("unknown header charset, the declaration read")
        << latin1 + cafe_latin1 << QByteArray("text/xml; charset=x-unknown") << QString::fromLatin1(latin1) + cafe;
    QTest::newRow("empty header charset, the declaration read")
        << latin1 + cafe_latin1 << QByteArray("text/xml; charset=") << QString::fromLatin1(latin1) + cafe;
    QTest::newRow("unknown names in header and declaration, utf-8")
        << QByteArray("<?xml encoding=\"x-unknown\"?>") + cafe_utf8 << QByteArray("text/xml; charset=x-unknown")
        << QStringLiteral("<?xml encoding=\"x-unknown\"?>") + cafe;
    QTest::newRow("no name anywhere") << QByteArray("<rss>Caf\xc3\xa9</rss>") << xml << QString::fromUtf8("<rss>Caf\xc3\xa9</rss>");
    QTest::newRow("no name anywhere, a Windows byte")
        << QByteArray("<rss>Caf\xe9</rss>") << QByteArray() << QString::fromUtf8("<rss>Caf\xc3\xa9</rss>");
}

// Feeds in the encodings of other scripts, by a name ICU knows, and UTF-16 and UTF-32 as
// their first bytes show them. The encoded bytes were made with iconv.
void TestMarketFetch::feed_encodings_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QString>("text");
    const auto declared = [](const char* name, const QByteArray& bytes) {
        return "<?xml version=\"1.0\" encoding=\"" + QByteArray(name) + "\"?><t>" + bytes + "</t>";
    };
    const auto shown = [](const char* name, const char* utf8) {
        return QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\"?><t>%2</t>")
            .arg(QString::fromLatin1(name), QString::fromUtf8(utf8));
    };
    const QByteArray xml = "text/xml";
    struct Script {
        const char* row;
        const char* name;
        QByteArray bytes;
        const char* utf8;
    };
    const Script scripts[] = {
        {"windows-1251", "windows-1251", "\xca\xf3\xf0\xf1\x20\xf0\xf3\xe1\xeb\xff\x20\xf0\xe0\xf1\xf2\xb8\xf2",
         "Курс рубля растёт"},
        {"koi8-r", "KOI8-R", "\xe7\xc1\xda\xd0\xd2\xcf\xcd\x20\xd2\xc1\xd3\xd4\xa3\xd4", "Газпром растёт"},
        {"euc-kr", "EUC-KR", "\xbb\xef\xbc\xba\xc0\xfc\xc0\xda\x20\xc1\xd6\xb0\xa1", "삼성전자 주가"},
        // Big5 and Shift_JIS put ASCII letters ('x', 'n', '^') in their second bytes.
        {"big5", "Big5", "\xa5\x78\xbf\x6e\xb9\x71\xaa\xd1\xbb\xf9", "台積電股價"},
        {"gb2312", "GB2312", "\xd6\xd0\xb9\xfa\xca\xaf\xd3\xcd\xb9\xc9\xbc\xdb", "中国石油股价"},
        // Four bytes for Ä, which GB2312 lacks.
        {"gb18030", "GB18030", "\xd6\xd0\xb9\xfa\x20\x81\x30\x87\x32\x20\xa2\xe3", "中国 Ä €"},
        {"shift_jis", "Shift_JIS", "\x83\x67\x83\x88\x83\x5e\x8e\xa9\x93\xae\x8e\xd4\x82\xcc\x8a\x94\x89\xbf",
         "トヨタ自動車の株価"},
    };
    for (const Script& sc : scripts) {
        QTest::addRow("%s declared", sc.row) << declared(sc.name, sc.bytes) << xml << shown(sc.name, sc.utf8);
        QTest::addRow("%s by the header", sc.row)
            << "<t>" + sc.bytes + "</t>" << "text/xml; charset=" + QByteArray(sc.name)
            << QStringLiteral("<t>%1</t>").arg(QString::fromUtf8(sc.utf8));
    }
    QTest::newRow("an unknown header name, then a windows-1251 declaration")
        << declared("windows-1251", scripts[0].bytes) << QByteArray("text/xml; charset=x-unknown")
        << shown("windows-1251", scripts[0].utf8);
    const QByteArray cafe_latin1 = "<t>Caf\xe9 \x93up\x94</t>";
    const QString cafe = QString::fromUtf8("<t>Caf\xc3\xa9 \xe2\x80\x9cup\xe2\x80\x9d</t>");
    QTest::newRow("header charset in single quotes") << cafe_latin1 << QByteArray("text/xml; charset='iso-8859-1'") << cafe;

    // UTF-16 and UTF-32: by the declaration or the first bytes, with no byte order mark.
    const QString declared16 = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?><t>") +
                               QString::fromUtf8("Caf\xc3\xa9 \xe2\x80\x94 \xe4\xb8\xad\xe5\x9b\xbd</t>");
    const QString declared32 = QString(declared16).replace(QStringLiteral("UTF-16"), QStringLiteral("UTF-32"));
    const QString plain = QString::fromUtf8("<rss>Caf\xc3\xa9 \xf0\x9f\x93\x88</rss>");
    QStringEncoder le16(QStringEncoder::Utf16LE), be16(QStringEncoder::Utf16BE);
    QStringEncoder le32(QStringEncoder::Utf32LE), be32(QStringEncoder::Utf32BE);
    QTest::newRow("utf-16le declared, no mark") << QByteArray(le16(declared16)) << xml << declared16;
    QTest::newRow("utf-16be declared, no mark") << QByteArray(be16(declared16)) << xml << declared16;
    QTest::newRow("utf-16le, no mark, no declaration") << QByteArray(le16(plain)) << QByteArray() << plain;
    QTest::newRow("utf-16 named by the header, the order by the first bytes")
        << QByteArray(le16(plain)) << QByteArray("text/xml; charset=utf-16") << plain;
    QTest::newRow("utf-32le declared, no mark") << QByteArray(le32(declared32)) << xml << declared32;
    QTest::newRow("utf-32be declared, no mark") << QByteArray(be32(declared32)) << xml << declared32;
    QTest::newRow("utf-32le, no mark, no declaration") << QByteArray(le32(plain)) << QByteArray() << plain;
    // FF FE 00 00 is UTF-32's mark, not UTF-16's followed by a null character.
    QTest::newRow("utf-32le mark") << QByteArray("\xFF\xFE\x00\x00", 4) + le32(plain) << xml << plain;
    QTest::newRow("utf-32be mark") << QByteArray("\x00\x00\xFE\xFF", 4) + be32(plain) << xml << plain;
    QTest::newRow("utf-32le mark over a utf-8 header")
        << QByteArray("\xFF\xFE\x00\x00", 4) + le32(plain) << QByteArray("text/xml; charset=utf-8") << plain;
    // A declaration written a byte a character cannot name UTF-16, nor one in UTF-16 a code page.
    QTest::newRow("utf-16 declared in single bytes")
        << QByteArray("<?xml encoding=\"UTF-16\"?><t>Caf\xc3\xa9</t>") << xml
        << QString::fromUtf8("<?xml encoding=\"UTF-16\"?><t>Caf\xc3\xa9</t>");
    const QString declared1252 = QString(declared16).replace(QStringLiteral("UTF-16"), QStringLiteral("windows-1252"));
    QTest::newRow("a code page declared in utf-16") << QByteArray(le16(declared1252)) << xml << declared1252;
}

void TestMarketFetch::feed_encodings() { feed_decoding(); }

// A feed that says UTF-8 and carries Windows punctuation: those bytes read as the
// Windows code page, every valid UTF-8 letter as written.
void TestMarketFetch::invalid_utf8_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QString>("text");
    const QByteArray utf8 = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";
    QTest::newRow("Windows quotes among utf-8 letters")
        << utf8 + "<title>\x93He grabs me\x85\x94 \xe2\x80\x94 caf\xc3\xa9 \x91x\x92</title>" << QByteArray("text/xml")
        << QString::fromUtf8(utf8 + "<title>\xe2\x80\x9cHe grabs me\xe2\x80\xa6\xe2\x80\x9d \xe2\x80\x94 caf\xc3\xa9 "
                                    "\xe2\x80\x98x\xe2\x80\x99</title>");
    QTest::newRow("named utf-8 by the header") << QByteArray("<t>\x93up\x94 \xc3\xa9</t>") << QByteArray("text/xml; charset=UTF-8")
                                               << QString::fromUtf8("<t>\xe2\x80\x9cup\xe2\x80\x9d \xc3\xa9</t>");
    QTest::newRow("after a utf-8 mark") << QByteArray("\xEF\xBB\xBF<t>\x96 \xc3\xa9</t>") << QByteArray()
                                        << QString::fromUtf8("<t>\xe2\x80\x93 \xc3\xa9</t>");
    // A sequence cut short, an overlong form, a surrogate and a byte past U+10FFFF: each byte on its own.
    QTest::newRow("malformed sequences byte by byte")
        << QByteArray("<t>\xe2\x80 \xc0\xaf \xed\xa0\x80 \xf4\x90\x80\x80 \xe9</t>") << QByteArray()
        << QString::fromUtf8("<t>\xc3\xa2\xe2\x82\xac \xc3\x80\xc2\xaf \xc3\xad\xc2\xa0\xe2\x82\xac "
                             "\xc3\xb4\xc2\x90\xe2\x82\xac\xe2\x82\xac \xc3\xa9</t>");
    QTest::newRow("at the very end") << QByteArray("<t>ok</t>\xf0\x9f\x93") << QByteArray()
                                     << QString::fromUtf8("<t>ok</t>\xc3\xb0\xc5\xb8\xe2\x80\x9c");
}

void TestMarketFetch::invalid_utf8() { feed_decoding(); }

void TestMarketFetch::feed_decoding() {
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, type);
    QFETCH(QString, text);
    FakeHttp http;
    http.replies << Reply(body);
    http.reply_type = type;
    QCOMPARE(get_stock_news(&http, "IBM"), text);
    QCOMPARE(decode_feed(body, type), text);
}

void TestMarketFetch::through_current_core() {
    CoreFixture fx;
    fx.http.replies << Reply(kIbmLine) << Reply("<rss/>") << Reply("Date\n");
    QCOMPARE(get_one_quote("IBM"), QString::fromLatin1(kIbmLine));
    QCOMPARE(get_stock_news("IBM"), QString("<rss/>"));
    QCOMPARE(get_hist_quote("IBM", QDate(2005, 1, 1), QDate(2005, 2, 1)), QString("Date\n"));
    QCOMPARE(fx.http.requests.size(), 3);
    fx.core.reset();
    QCOMPARE(get_one_quote("IBM"), QString());
}

void TestMarketFetch::parse_data() {
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("change");
    const QString ibm = QString::fromLatin1(kIbmLine);
    auto line = [](const QString& price, const QString& change) {
        return "\"IBM\"," + price + ",\"3/14/2026\",\"4:00pm\"," + change + ",84.10,84.90,83.80,1234567\r\n";
    };
    QTest::newRow("plain") << "IBM" << ibm << true << "84.50" << "+0.25";
    QTest::newRow("symbol in lower case") << "ibm" << ibm << true << "84.50" << "+0.25";
    QTest::newRow("reply in lower case") << "IBM" << QString(ibm).replace("IBM", "ibm") << true << "84.50" << "+0.25";
    QTest::newRow("price cut, not rounded") << "IBM" << line("12.3456", "-1.5") << true << "12.34" << "-1.5";
    QTest::newRow("one decimal kept") << "IBM" << line("12.3", "-1.5") << true << "12.3" << "-1.5";
    QTest::newRow("no decimals kept") << "IBM" << line("12", "+2") << true << "12" << "+2";
    QTest::newRow("change N/A") << "IBM" << line("12.00", "N/A") << true << "12.00" << "0.0";
    QTest::newRow("change without sign") << "IBM" << line("12.00", "0.25") << true << "12.00" << "0.0";
    QTest::newRow("price 0.00") << "IBM" << line("0.00", "+0.25") << false << "0.00" << "+0.25";
    QTest::newRow("price N/A") << "IBM" << line("N/A", "N/A") << false << "N/A" << "0.0";
    QTest::newRow("symbol missing") << "MSFT" << ibm << false << "old" << "oldc";
    QTest::newRow("key needs the quotes") << "IBM" << line("1", "+1").replace("\"IBM\"", "\"IBMX\"") << false << "old"
                                          << "oldc";
    QTest::newRow("empty reply") << "IBM" << "" << false << "old" << "oldc";
    QTest::newRow("no commas") << "IBM" << "\"IBM\" is not a known symbol" << false << "old" << "oldc";
    QTest::newRow("one comma") << "IBM" << "\"IBM\",84.50" << false << "old" << "oldc";
    QTest::newRow("cut before the fifth field") << "IBM" << "\"IBM\",84.50,\"3/14/2026\",\"4:00pm\",+0.25" << false
                                                << "84.50" << "oldc";
    QTest::newRow("html page")
        << "IBM" << "<html><body><h1>404 Not Found</h1>No quote for IBM, sorry.</body></html>" << false << "old"
        << "oldc";
    QTest::newRow("second line")
        << "MSFT" << ibm + "\"MSFT\",27.105,\"3/14/2026\",\"4:00pm\",-0.30,27,28,26,99\r\n" << true << "27.10"
        << "-0.30";
    // A short line must not take its fields from the next symbol.
    QTest::newRow("short line borrows nothing")
        << "IBM" << "\"IBM\",N/A\r\n\"MSFT\",27.10,\"3/14/2026\",\"4:00pm\",-0.30,27,28,26,99\r\n" << false << "old"
        << "oldc";
    // Short lines between whole ones: nothing is read from the line after.
    const QString ge = "\"GE\",25.00,\"3/14/2026\",\"4:00pm\",+0.12,24.90,25.10,24.80,777\r\n";
    QTest::newRow("short middle line, price only") << "MSFT" << ibm + "\"MSFT\",27.02\r\n" + ge << false << "old"
                                                   << "oldc";
    QTest::newRow("short middle line, no change")
        << "MSFT" << ibm + "\"MSFT\",27.105,\"3/14/2026\",\"4:00pm\"\r\n" + ge << false << "27.10" << "oldc";
    QTest::newRow("short middle line, LF only") << "MSFT" << "\"IBM\",1\n\"MSFT\",27.02\n\"GE\",25.00,x,y,+1,z\n"
                                                << false << "old" << "oldc";
    QTest::newRow("line after a short one") << "GE" << ibm + "\"MSFT\",27.02\r\n" + ge << true << "25.00" << "+0.12";
    QTest::newRow("last line without newline") << "IBM" << QString(ibm).chopped(2) << true << "84.50" << "+0.25";
    QTest::newRow("huge junk before the line") << "IBM" << QString(4 * 1024 * 1024, u'x') + "\n" + ibm << true
                                               << "84.50" << "+0.25";
}

void TestMarketFetch::parse() {
    QFETCH(QString, symbol);
    QFETCH(QString, reply);
    QFETCH(bool, result);
    QFETCH(QString, price);
    QFETCH(QString, change);
    QString got_price = "old", got_change = "oldc";
    QCOMPARE(parse_quote_csv(symbol, reply, got_price, got_change), result);
    QCOMPARE(got_price, price);
    QCOMPARE(got_change, change);
}

void TestMarketFetch::host_forms_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("name") << "quotes.example.org" << true;
    QTest::newRow("name and port") << "localhost:8080" << true;
    QTest::newRow("IPv4 and port") << "127.0.0.1:65535" << true;
    QTest::newRow("IPv6 and port") << "[::1]:8000" << true;
    QTest::newRow("with a scheme") << "http://quotes.example.org" << false;
    QTest::newRow("with a path") << "quotes.example.org/d" << false;
    QTest::newRow("port 0") << "localhost:0" << false;
    QTest::newRow("port too large") << "localhost:65536" << false;
    QTest::newRow("empty port") << "localhost:" << false;
    QTest::newRow("blank inside") << "quotes example" << false;
    QTest::newRow("user part") << "me@quotes.example.org" << false;
}

void TestMarketFetch::host_forms() {
    QFETCH(QString, text);
    QTEST(service_hosts::is_host_and_port(text), "accepted");
}

QTEST_GUILESS_MAIN(TestMarketFetch)
#include "tst_market_fetch.moc"
