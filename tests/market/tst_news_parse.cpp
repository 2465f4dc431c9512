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
    void links_data();
    void links();
    void descriptions_as_text_data();
    void descriptions_as_text();
    void date_text_data();
    void date_text();
    void real_feed_utf8();
    void latin1_bytes();
    void feed_as_served();
    void unclosed_last_item();
    void items_that_lack_parts();
    void fifty_items_keep_the_first_35();
    void items_with_attributes();
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

// A title is read by the entity table, then by the other references; a description is HTML
// escaped for the feed: decoded once as the feed's text, then, once its markup is text, as HTML.
void TestNewsParse::entities_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("description");
    const auto both = [](const char* row, const QString& text, const QString& shown) {
        QTest::newRow(row) << text << shown << shown.simplified();
    };
    both("quotes become apostrophes", "AT&amp;T &quot;up&quot;", "AT&T 'up'");
    both("apos", "it&apos;s", "it's");
    both("letter case ignored", "A &AMP; B &Lt; C &GT;", "A & B < C >");
    both("double-escaped quote", "&amp;quot;", "'");
    // Decoded once: what an entity gives is not read as an entity again.
    QTest::newRow("escaped apos is decoded once") << "&amp;apos;" << "&apos;" << "'";
    QTest::newRow("escaped ampersand is decoded once") << "&amp;amp;" << "&amp;" << "&";
    QTest::newRow("AT&T escaped for HTML, then for the feed") << "AT&amp;amp;T" << "AT&amp;T" << "AT&T";
    QTest::newRow("a reference's ampersand is not read again") << "&#38;apos; &#x26;amp;" << "&apos; &amp;" << "' &";
    both("numeric references", "&#039;s &#8217;, &#x2019; &#X2019;", QString::fromUtf8("'s ’, ’ ’"));
    both("the Windows code page's punctuation by number", "&#147;up&#148; &#150;", QString::fromUtf8("“up” –"));
    both("beyond the first plane", "&#x1F4C8;", QString::fromUtf8("\xF0\x9F\x93\x88"));
    both("references naming no character stay", "&#0; &#xD800; &#1114112; &#39 &#; &#x; &#99999999999;",
         "&#0; &#xD800; &#1114112; &#39 &#; &#x; &#99999999999;");
    // After the entities, as "&amp;lt;" ends as "<".
    both("escaped reference", "&amp;#8217;", QString::fromUtf8("’"));
    QTest::newRow("HTML's named references")
        << "Caf&eacute;&nbsp;&rsquo;s &hellip; &euro;5 &Eacute;&copy;&frac12;&mdash;&laquo;&raquo;"
        << QString::fromUtf8("Café\u00a0’s … €5 É©½—«»") << QString::fromUtf8("Café ’s … €5 É©½—«»");
    both("a named reference escaped for the feed", "Caf&amp;eacute;", QString::fromUtf8("Café"));
    both("names not known, in the wrong case, too long or without their semicolon stay",
         "&bogus; &EACUTE; &eacute &amp AT&T &aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa; &;",
         "&bogus; &EACUTE; &eacute &amp AT&T &aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa; &;");
    // C1 controls come from Windows text taken for Latin-1, as &#146; does.
    both("C1 controls as the Windows code page", QString::fromUtf8("It\xc2\x92s \xc2\x93up\xc2\x94 \xc2\x80""5 \xc2\x85"),
         QString::fromUtf8("It’s “up” €5 …"));
    both("CDATA unwrapped", "<![CDATA[Tom & Jerry's &amp; co]]>", "Tom & Jerry's & co");
    both("CDATA among text", "a <![CDATA[b]]> c <![CDATA[d", "a b c d");
}

void TestNewsParse::entities() {
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(QString, description);
    NewsParseState st;
    QVERIFY(parse_news(st, "<item><title>" + text + "</title><description>" + text + "</description></item>", "IBM"));
    QCOMPARE(st.news_record.items[0].title, title);
    QCOMPARE(st.news_record.items[0].description, "() " + description);
}

// An article's address as the feed means it, before it is opened or kept.
void TestNewsParse::links_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("address");
    QTest::newRow("as it stands") << "http://x.example/a?b=1" << "http://x.example/a?b=1";
    QTest::newRow("escaped ampersand") << "http://x.example/a?b=1&amp;c=2" << "http://x.example/a?b=1&c=2";
    QTest::newRow("decoded once") << "http://x.example/a?b=&amp;amp;&amp;lt;" << "http://x.example/a?b=&amp;&lt;";
    QTest::newRow("numeric references") << "http://x.example/a?b=1&#38;c=2&#x26;d=%20" << "http://x.example/a?b=1&c=2&d=%20";
    QTest::newRow("a double quote stays one") << "http://x.example/a?q=&quot;x&quot;" << "http://x.example/a?q=\"x\"";
    QTest::newRow("bare ampersands stay") << "http://x.example/a?b=1&c=2&lt=3" << "http://x.example/a?b=1&c=2&lt=3";
    QTest::newRow("CDATA") << "<![CDATA[http://x.example/a?b=1&c=2]]>" << "http://x.example/a?b=1&c=2";
    QTest::newRow("blanks and line ends around") << "\r\n   http://x.example/a \t\r\n" << "http://x.example/a";
    QTest::newRow("CDATA among line ends") << "\n  <![CDATA[ http://x.example/a?b=1&amp;c ]]>\n"
                                           << "http://x.example/a?b=1&c";
    QTest::newRow("blanks only") << " \r\n " << "";
}

void TestNewsParse::links() {
    QFETCH(QString, link);
    QFETCH(QString, address);
    NewsParseState st;
    QVERIFY(parse_news(st, "<item><title>t</title><link>" + link + "</link></item>", "IBM"));
    QCOMPARE(st.news_record.items[0].link, address);
}

// Descriptions are markup as often as text: the reader shows their words.
void TestNewsParse::descriptions_as_text_data() {
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("title");  // the same text as a title: tags kept
    QTest::addColumn<QString>("shown");
    QTest::newRow("entity-escaped picture")
        << "&lt;img src=&quot;http://x.example/a.jpg&quot; width=&quot;1&quot;/&gt;Shares rose."
        << "<img src='http://x.example/a.jpg' width='1'/>Shares rose." << "Shares rose.";
    QTest::newRow("HTML in CDATA") << "<![CDATA[<p>IBM&#8217;s   caf\u00e9\r\n unit <b>grew</b></p><br/>More]]>"
                                   << QString::fromUtf8("<p>IBM’s   café\r\n unit <b>grew</b></p><br/>More")
                                   << QString::fromUtf8("IBM’s café unit grew More");
    // Escaped twice, the tags are the description's text.
    QTest::newRow("double-escaped tags") << "&amp;lt;b&amp;gt;bold&amp;lt;/b&amp;gt; text" << "<b>bold</b> text"
                                         << "<b>bold</b> text";
    // The markup is removed first; what is escaped in it is text.
    QTest::newRow("escaped text in CDATA") << "<![CDATA[<p>if a &lt;b&gt; c</p>]]>" << "<p>if a <b> c</p>" << "if a <b> c";
    QTest::newRow("escaped text among tags") << "<code>&lt;br /></code>" << "<code><br /></code>" << "<br />";
    QTest::newRow("escaped text in escaped HTML") << "&lt;p&gt;if a &amp;lt;b&amp;gt; c&lt;/p&gt;" << "<p>if a <b> c</p>"
                                                  << "if a <b> c";
    QTest::newRow("named references in escaped HTML")
        << "&lt;p&gt;Caf&amp;eacute; &amp;amp; AT&amp;amp;T&amp;nbsp;&amp;rsquo;s&lt;/p&gt;"
        << QString::fromUtf8("<p>Café &amp; AT&amp;T ’s</p>") << QString::fromUtf8("Café & AT&T ’s");
    QTest::newRow("named references among tags") << "<p>Caf&eacute; &quot;hold&quot;&hellip;</p>"
                                                 << QString::fromUtf8("<p>Café 'hold'…</p>")
                                                 << QString::fromUtf8("Café 'hold'…");
    QTest::newRow("tags part words, inline ones do not") << "one<br>two</p><p>three in<b>line</b>"
                                                         << "one<br>two</p><p>three in<b>line</b>"
                                                         << "one two three inline";
    QTest::newRow("comment") << "a&lt;!-- a > b --&gt;b" << "a<!-- a > b -->b" << "a b";
    QTest::newRow("lone signs stay") << "3 &lt; 5 and 6 &gt; 2, x &lt;" << "3 < 5 and 6 > 2, x <" << "3 < 5 and 6 > 2, x <";
    QTest::newRow("tag never closed") << "a &lt;b class=x" << "a <b class=x" << "a";
    QTest::newRow("white space runs") << "  a \t\r\n b&#160;&#160;c  " << QString::fromUtf8("  a \t\r\n b\u00a0\u00a0c  ")
                                      << "a b c";
}

void TestNewsParse::descriptions_as_text() {
    QFETCH(QString, description);
    QFETCH(QString, title);
    QFETCH(QString, shown);
    NewsParseState st;
    QVERIFY(parse_news(st, "<item><title>" + description + "</title><description>" + description +
                               "</description><pubDate>2005-08-18</pubDate></item>",
                       "IBM"));
    QCOMPARE(st.news_record.items[0].title, title);
    QCOMPARE(st.news_record.items[0].description, "(2005-08-18) " + shown);
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
    // Escaped twice, "&amp;lt;sic&amp;gt;" is text.
    QCOMPARE(r.items[0].description, "(Thu, Aug 18, 2005) Shares of AT&T rose 3% <sic>");
    QCOMPARE(r.items[0].link, "http://news.example.com/a1");
    QCOMPARE(r.items[1].title, QString::fromUtf8("Café owners cheer — “record” quarter"));
    QCOMPARE(r.items[1].description, QString::fromUtf8("(2005-08-18) IBM’s café unit grew 12%"));
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

// CDATA, numeric references, escaped markup and items with attributes, as a service sends them.
void TestNewsParse::feed_as_served() {
    NewsParseState st;
    QVERIFY(parse_news(st, fetched(fixture("feed_served.xml")), "SW"));
    const NewsRecord& r = st.news_record;
    QCOMPARE(r.item_count, int16_t(3));
    QCOMPARE(r.items[0].title, QString::fromUtf8("Southwind Paper’s quarter beats estimates"));
    QCOMPARE(r.items[0].description, "(Thu, Mar 12, 2026) Shares of the packaging maker rose 4% in early trading after "
                                     "it reported a record margin.");
    QCOMPARE(r.items[0].link, "http://news.example.com/sw/1");
    QCOMPARE(r.items[1].title, QString::fromUtf8("Analyst's view: “hold” on SW"));
    QCOMPARE(r.items[1].description,
             QString::fromUtf8("(Wed, Mar 11, 2026) Why one analyst says hold — margins, debt and the dividend."));
    QCOMPARE(r.items[2].title, "Mill closure: AT&T &amp; others named in filing");
    QCOMPARE(r.items[2].description, QString::fromUtf8("(Tue, Mar 10, 2026) Café owners 'cheer' the news…"));
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

void TestNewsParse::items_with_attributes() {
    NewsParseState st;
    QVERIFY(parse_news(st,
                       "<channel><items><title>not an item</title></items>"
                       "<item site=\"SW\"><title>one</title></item>"
                       "<itemx><title>nor this</title></itemx>"
                       "<ITEM\r\n    rdf:about='http://x/2'><title>two</title></ITEM>"
                       "<item\tid=\"3\" ><title>three</title></item>"
                       "<item><title>four</title></item></channel>",
                       "SW"));
    QCOMPARE(st.news_record.item_count, int16_t(4));
    QStringList titles;
    for (int i = 0; i < st.filled_slots(); ++i) titles << st.news_record.items[size_t(i)].title;
    QCOMPARE(titles, (QStringList{"one", "two", "three", "four"}));
    // An opening tag cut off ends the feed.
    QVERIFY(parse_news(st, "<item a=\"1\"><title>one</title></item><item b=\"2\"", "SW"));
    QCOMPARE(st.news_record.item_count, int16_t(1));
}

void TestNewsParse::no_items() {
    NewsParseState st;
    QVERIFY(parse_news(st, feed_of(2), "IBM"));
    QVERIFY(!parse_news(st, fetched(fixture("quotes_error_page.html")), "IBM"));
    QCOMPARE(st.news_record.item_count, int16_t(0));
    QCOMPARE(st.news_record.items[0].title, "");  // the record was cleared
    QVERIFY(!parse_news(st, "", "IBM"));
    QVERIFY(!parse_news(st, "<items><title>x</title></items><itemx><title>y</title></itemx>", "IBM"));
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
    QVERIFY(st.news_record.items[0].description.startsWith("() Lorem ipsum & dolor sit amet, consectetur elit. Lorem"));
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
