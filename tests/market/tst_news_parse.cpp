// Headline feeds read into the 35-slot record: tags, entities and their order, the
// date in front of the description, items that lack parts, bad bytes and big feeds.
#include "core/market_fetch.h"
#include "market/news_parse.h"
#include "support/fakes.h"

#include <QFile>
#include <QtTest>

using namespace qb;
using namespace qb::test;

namespace {

QByteArray fixture(const char* name) {
    QFile f(QStringLiteral(QB_SOURCE_DIR "/tests/market/fixtures/") + QString::fromLatin1(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The feed as the news reader gets it: through the core's fetch and its decoding.
QString fetched(const QByteArray& body) {
    FakeHttp http;
    http.replies.enqueue(body);
    return get_stock_news(&http, QStringLiteral("IBM"));
}

QString feed_of(int items, const QString& title_tag = QStringLiteral("title")) {
    QString feed = QStringLiteral("<rss><channel>");
    for (int i = 1; i <= items; ++i)
        feed += QStringLiteral("<item><%2>T%1</%2><link>http://x/%1</link><description>d%1</description></item>")
                    .arg(i)
                    .arg(title_tag);
    return feed + QStringLiteral("</channel></rss>");
}

} // namespace

class TestNewsParse : public QObject {
    Q_OBJECT

private slots:
    void tag_search_data();
    void tag_search();
    void entities_data();
    void entities();
    void date_text_data();
    void date_text();
    void real_feed_utf8();
    void latin1_bytes();
    void unclosed_last_item();
    void items_that_lack_parts();
    void fifty_items_keep_the_first_35();
    void no_items();
    void five_megabytes();
};

void TestNewsParse::tag_search_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "<a><title>Hi</title></a>" << 0 << "Hi";
    QTest::newRow("upper-case tags") << "<TITLE>Hi</Title>" << 0 << "Hi";
    QTest::newRow("not trimmed") << "<title>  Hi </title>" << 0 << "  Hi ";
    QTest::newRow("empty element") << "<title></title>" << 0 << "";
    QTest::newRow("no closing tag") << "<title>Hi" << 0 << "";
    QTest::newRow("closing before opening") << "</title><title>Hi" << 0 << "";
    QTest::newRow("attributes are not found") << "<title lang=\"en\">Hi</title>" << 0 << "";
    QTest::newRow("from start on") << "<title>A</title><title>B</title>" << 5 << "B";
}

void TestNewsParse::tag_search() {
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(QString, expected);
    QCOMPARE(xml_find_text_from_tag(QStringLiteral("title"), text, start), expected);
}

void TestNewsParse::entities_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("quotes become apostrophes") << "AT&amp;T &quot;up&quot;" << "AT&T 'up'";
    QTest::newRow("apos") << "it&apos;s" << "it's";
    QTest::newRow("letter case ignored") << "A &AMP; B &Lt; C &GT;" << "A & B < C >";
    QTest::newRow("double escape ends as the character") << "&amp;lt;b&amp;gt;" << "<b>";
    QTest::newRow("double-escaped quote") << "&amp;quot;" << "'";
    QTest::newRow("numeric references stay") << "&#39;&nbsp;" << "&#39;&nbsp;";
}

void TestNewsParse::entities() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    NewsParseState st;
    QVERIFY(parse_news(st, "<item><title>" + text + "</title><description>" + text + "</description><link>" + text +
                               "</link></item>",
                       "IBM"));
    QCOMPARE(st.news_record.items[0].title, expected);
    QCOMPARE(st.news_record.items[0].description, "() " + expected);
    // The address is taken as it stands.
    QCOMPARE(st.news_record.items[0].link, text);
}

void TestNewsParse::date_text_data() {
    QTest::addColumn<QString>("pubDate");
    QTest::addColumn<QString>("expected");
    QTest::newRow("feed date") << "Thu, 18 Aug 2005 16:30:00 GMT" << "Thu, Aug 18, 2005";
    QTest::newRow("one part only") << "2005-08-18" << "2005-08-18";
    QTest::newRow("month first") << "Thu Aug 18 2005" << "Thu, 18 Aug, 2005";
    QTest::newRow("no such day") << "Thu, 31 Feb 2005 10:00 GMT" << "Thu, 31 Feb 2005 10:00 GMT";
    QTest::newRow("three parts") << "18 Aug 2005" << "18 Aug 2005";
    QTest::newRow("trimmed when not a date") << "  soon, very soon  " << "soon, very soon";
    QTest::newRow("empty") << "" << "";
}

void TestNewsParse::date_text() {
    QFETCH(QString, pubDate);
    QFETCH(QString, expected);
    QCOMPARE(news_date_text(pubDate), expected);
    NewsParseState st;
    QVERIFY(parse_news(st, "<item><title>t</title><description>body</description><pubDate>" + pubDate +
                               "</pubDate></item>",
                       "IBM"));
    QCOMPARE(st.news_record.items[0].description, "(" + expected + ") body");
    QCOMPARE(st.news_record.items[0].pubDate, pubDate);
}

void TestNewsParse::real_feed_utf8() {
    NewsParseState st;
    QVERIFY(parse_news(st, fetched(fixture("feed_utf8.xml")), "  ibm "));
    const NewsRecord& r = st.news_record;
    QCOMPARE(r.symbol, "ibm");
    // Five items; the untitled third gives its slot to the fourth but still counts.
    QCOMPARE(r.item_count, int16_t(5));
    QCOMPARE(st.filled_slots(), 4);
    QCOMPARE(r.items[0].title, "AT&T 'up' on IBM deal");
    QCOMPARE(r.items[0].description, "(Thu, Aug 18, 2005) Shares of AT&T rose <b>3%</b> <sic>");
    QCOMPARE(r.items[0].link, "http://news.example.com/a1");
    QCOMPARE(r.items[1].title, QString::fromUtf8("Café owners cheer — “record” quarter"));
    // CDATA is not unwrapped: the search takes the element's text as it stands.
    QCOMPARE(r.items[1].description, QString::fromUtf8("(2005-08-18) <![CDATA[<p>IBM’s café unit grew 12%</p>]]>"));
    QCOMPARE(r.items[2].title, "No link, no date");
    QCOMPARE(r.items[2].link, "");
    QCOMPARE(r.items[2].description, "() Nothing else is known");
    QCOMPARE(r.items[3].link, "file:///etc/passwd");
    QCOMPARE(r.items[4].title, "");
    for (const NewsItem& i : r.items) QCOMPARE(i.saved, int16_t(0));
}

void TestNewsParse::latin1_bytes() {
    NewsParseState st;
    QVERIFY(parse_news(st, fetched(fixture("feed_latin1.xml")), "GLE"));
    QCOMPARE(st.news_record.items[0].title, QString::fromUtf8("Société Générale résultats"));
    QCOMPARE(st.news_record.items[0].description, QString::fromUtf8("(Mon, Aug 15, 2005) Le chiffre d'affaires progresse de 5 %"));
}

void TestNewsParse::unclosed_last_item() {
    NewsParseState st;
    QVERIFY(parse_news(st, fetched(fixture("feed_unclosed.xml")), "IBM"));
    QCOMPARE(st.news_record.items[0].title, "First");
    // The cut item has no closing tag: it is read as an empty item.
    QCOMPARE(st.news_record.item_count, int16_t(2));
    QCOMPARE(st.news_record.items[1].title, "");
    QCOMPARE(st.news_record.items[1].description, "() ");
}

void TestNewsParse::items_that_lack_parts() {
    NewsParseState one;
    QVERIFY(parse_news(one, "<item></item>", "X"));
    QCOMPARE(one.news_record.item_count, int16_t(1));
    QCOMPARE(one.news_record.items[0].title, "");
    QCOMPARE(one.news_record.items[0].description, "() ");

    // An untitled item's slot goes to the next item; every item still counts.
    NewsParseState st;
    QVERIFY(parse_news(st, "<item></item><item><title>B</title></item><item><link>l</link></item><item><title>D</title></item>",
                       "X"));
    const NewsRecord& r = st.news_record;
    QCOMPARE(r.item_count, int16_t(4));
    QCOMPARE(r.items[0].title, "B");
    QCOMPARE(r.items[1].title, "D");
    QCOMPARE(r.items[1].link, "");
    QCOMPARE(st.filled_slots(), 2);
}

void TestNewsParse::fifty_items_keep_the_first_35() {
    NewsParseState st;
    QVERIFY(parse_news(st, fetched(fixture("feed_50.xml")), "IBM"));
    const NewsRecord& r = st.news_record;
    QCOMPARE(r.item_count, int16_t(kNewsSlots));
    QCOMPARE(st.filled_slots(), kNewsSlots);
    for (int i = 0; i < kNewsSlots; ++i) QCOMPARE(r.items[size_t(i)].title, QString("Headline %1").arg(i + 1));
    QCOMPARE(r.items[34].link, "http://news.example.com/n35");

    // 40 items: slot 34 keeps item 35, not item 40.
    NewsParseState forty;
    QVERIFY(parse_news(forty, feed_of(40), "IBM"));
    QCOMPARE(forty.news_record.item_count, int16_t(35));
    QCOMPARE(forty.news_record.items[34].title, "T35");
    QCOMPARE(forty.news_record.items[33].title, "T34");

    // A second parse starts afresh.
    QVERIFY(parse_news(forty, feed_of(3, "TITLE"), "IBM"));
    QCOMPARE(forty.news_record.item_count, int16_t(3));
    QCOMPARE(forty.news_record.items[3].title, "");
    QCOMPARE(forty.news_record.items[2].title, "T3");
}

void TestNewsParse::no_items() {
    NewsParseState st;
    QVERIFY(parse_news(st, feed_of(2), "IBM"));
    QVERIFY(!parse_news(st, fetched(fixture("quotes_error_page.html")), "IBM"));
    QCOMPARE(st.news_record.item_count, int16_t(0));
    QCOMPARE(st.news_record.items[0].title, "");  // the record was cleared
    QVERIFY(!parse_news(st, "", "IBM"));
    QVERIFY(!parse_news(st, "<item attr=\"1\"><title>x</title></item>", "IBM"));
    QVERIFY(!parse_news(st, QString(200000, u'<'), "IBM"));
}

void TestNewsParse::five_megabytes() {
    // One item holding 5 MB of description, then a thousand small ones after it.
    QString big = QStringLiteral("<rss><item><title>Big</title><description>");
    const QString chunk = QStringLiteral("Lorem ipsum &amp; dolor sit amet, consectetur &lt;adipiscing&gt; elit. ");
    while (big.size() < 5 * 1024 * 1024) big += chunk;
    big += QStringLiteral("</description></item>") + feed_of(1000);
    NewsParseState st;
    QVERIFY(parse_news(st, big, "IBM"));
    QCOMPARE(st.news_record.item_count, int16_t(35));
    QCOMPARE(st.news_record.items[0].title, "Big");
    QVERIFY(st.news_record.items[0].description.startsWith("() Lorem ipsum & dolor sit amet, consectetur <adipiscing> elit."));
    QCOMPARE(st.news_record.items[34].title, "T34");

    // 5 MB of items that are never closed: read as one empty item, without searching
    // the rest of the text again for every one of them.
    QString unclosed;
    while (unclosed.size() < 5 * 1024 * 1024) unclosed += QStringLiteral("<item><title>Cut</title>");
    QVERIFY(parse_news(st, unclosed, "IBM"));
    QCOMPARE(st.news_record.item_count, int16_t(1));
    QCOMPARE(st.news_record.items[0].title, "");
}

QTEST_GUILESS_MAIN(TestNewsParse)
#include "tst_news_parse.moc"
