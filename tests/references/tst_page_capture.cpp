// Keeping a page on disk without a browser: block removal, file-name cleaning, the
// saved text's bytes, and the capture over a scripted document and transport.
#include "references/page_capture.h"
#include "platform/qt_platform.h"
#include "support/fakes.h"
#include "support/growth.h"
#include "support/loopback_http.h"
#include "support/scripted_document.h"

#include <QDir>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QUrl>
#include <QtTest>

using namespace qb;
using namespace qb::test;

namespace {

struct CaptureFixture {
    CaptureFixture() {
        fx.start();
        fx.messages.boxes.clear();  // the start-up's own notices
        folder = fx.path("WebData/");
        QDir().mkpath(folder);
    }
    PageCapture::Result run(ScriptedDocument& doc, const QString& name = "page") {
        PageCapture capture(http ? http : &fx.http, folder, hooks);
        if (budget >= 0) capture.set_fetch_budget_ms(budget);
        const PageCapture::Result r = capture.run(doc, name, page_path);
        written = capture.written_pictures();
        return r;
    }
    QStringList files() const { return QDir(folder).entryList(QDir::Files, QDir::Name); }
    CoreFixture fx;
    QString folder;
    QString page_path;
    QStringList written;
    PageCapture::Hooks hooks;
    int budget = -1;
    HttpTransport* http = nullptr;  // in place of the fake
};

// The reference a saved picture gets: its name, beside the page.
QString local(const QString& path) { return QFileInfo(path).fileName(); }
QString file_address(const QString& path) { return QString::fromUtf8(QUrl::fromLocalFile(path).toEncoded()); }

// The bytes of a small picture of each kind, told apart by what follows their header.
QByteArray gif(const QByteArray& tail) { return "GIF89a" + tail; }
QByteArray jpeg(const QByteArray& tail) { return "\xFF\xD8\xFF\xE0" + tail; }
QByteArray png(const QByteArray& tail) { return "\x89PNG\r\n\x1A\n" + tail; }
QByteArray webp(const QByteArray& tail) { return QByteArray("RIFF\x04\x00\x00\x00WEBPVP8L", 16) + tail; }
QByteArray svg(const QByteArray& tail) { return "<svg xmlns=\"http://www.w3.org/2000/svg\"><desc>" + tail + "</desc></svg>"; }
// A picture of the kind the name's ending gives.
QByteArray picture_for(const QString& name, const QByteArray& tail) {
    const QString n = name.toLower();
    if (n.endsWith(".gif")) return gif(tail);
    if (n.endsWith(".png")) return png(tail);
    if (n.endsWith(".webp")) return webp(tail);
    if (n.endsWith(".svg")) return svg(tail);
    return jpeg(tail);
}

// Answers every address at once with the same small picture.
class InstantPictures : public HttpTransport {
public:
    std::optional<QByteArray> get(const QUrl&) override { return gif("x"); }
};

} // namespace

class TestPageCapture : public QObject {
    Q_OBJECT
private slots:
    void remove_tag_content_data();
    void remove_tag_content();
    void remove_tag_content_of_a_megabyte();
    void file_names_are_cleaned_data();
    void file_names_are_cleaned();
    void folder_names_data();
    void folder_names();
    void page_text_is_ascii_in_every_place_data();
    void page_text_is_ascii_in_every_place();
    void pictures_fetched_once_and_references_rewritten();
    void a_page_with_a_base_address_keeps_file_addresses();
    void picture_kinds_by_name_data();
    void picture_kinds_by_name();
    void svg_by_its_text_data();
    void svg_by_its_text();
    void same_name_from_two_addresses_keeps_both();
    void picture_names_never_start_with_a_dot_data();
    void picture_names_never_start_with_a_dot();
    void pictures_are_never_written_through_a_link_data();
    void pictures_are_never_written_through_a_link();
    void many_pictures_of_one_name_take_linear_time();
    void failed_pictures_data();
    void failed_pictures();
    void one_message_counts_the_pictures_left_out_data();
    void one_message_counts_the_pictures_left_out();
    void stopping_between_pictures_writes_no_page();
    void five_hundred_pictures_and_a_fetch_budget();
    void the_budget_bounds_a_slow_picture();
    void hanging_and_oversized_pictures_through_the_transport();
    void kept_pages_are_found_where_their_folder_is_now_data();
    void kept_pages_are_found_where_their_folder_is_now();
    void reference_names_that_leave_the_folder_are_refused_data();
    void reference_names_that_leave_the_folder_are_refused();
};

void TestPageCapture::remove_tag_content_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");
    QTest::newRow("no block") << "abc" << "abc";
    QTest::newRow("capitals") << "a<SCRIPT>x</SCRIPT>b" << "ab";
    QTest::newRow("lower case") << "a<script type=\"t\">x()</script>b" << "ab";
    QTest::newRow("two blocks") << "1<script>a</script>2<Script>b</sCript>3" << "123";
    QTest::newRow("one nested opening") << "a<script>1<script>2</script>3</script>b" << "ab";
    QTest::newRow("two nested openings") << "a<script>1<script>2<script>3</script>4</script>5</script>b" << "ab";
    QTest::newRow("three nested openings") << "a<script>1<script>2<script>3<script>x</script>4</script>5</script>6</script>b"
                                           << "a6</script>b";
    QTest::newRow("nested without a later end") << "a<script>1<script>2</script>b" << "ab";
    QTest::newRow("no end tag") << "a<script>x" << "a<script>x";
    QTest::newRow("one character after") << "<script>x</script>z" << "z";
    QTest::newRow("block at the end") << "a<script>x</script>" << "a";
}

void TestPageCapture::remove_tag_content() {
    QFETCH(QString, text);
    QString result = "stale";
    qb::remove_tag_content(text, "<SCRIPT", "</SCRIPT>", result);
    QTEST(result, "result");
}

void TestPageCapture::remove_tag_content_of_a_megabyte() {
    QString page;
    while (page.size() < 1024 * 1024)
        page += QStringLiteral("<p>Some text of the article, line after line.</p><script>var a = 1;</script>\n");
    QString result;
    QElapsedTimer t;
    t.start();
    qb::remove_tag_content(page, "<SCRIPT", "</SCRIPT>", result);
    qInfo() << "1 MB block removal:" << t.elapsed() << "ms";
    QVERIFY(!result.contains("script"));
    QVERIFY(result.startsWith("<p>Some text"));
}

void TestPageCapture::file_names_are_cleaned_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("cleaned");
    QTest::addColumn<QString>("returned");
    QTest::newRow("plain") << "Earnings up" << "Earnings up" << "Earnings up";
    QTest::newRow("the nine") << "a/b\\c'd*e?f<g>h|i:j" << "a b c d e f g h i j" << "a b c d e f g h i j";
    QTest::newRow("double quote stays") << "say \"hi\"" << "say \"hi\"" << "say \"hi\"";
    QTest::newRow("control characters") << QString("tab\there\nnew\x7f") << "tab here new " << "tab here new ";
    QTest::newRow("only such characters") << "/:?" << "   " << "   ";
    QTest::newRow("empty") << "" << "" << "No Name Given";
    // Every character of the 7-bit set on its own, and a few beyond it: the nine, the
    // control characters and DEL become a blank, all others stay.
    const QString refused = QStringLiteral("/\\'*?<>|:");
    for (char16_t u = 0; u < 0x80; ++u) {
        const bool blank = u < 0x20 || u == 0x7F || refused.contains(QChar(u));
        const QString name = QStringLiteral("a") + QChar(u) + QStringLiteral("b");
        const QString cleaned = blank ? QStringLiteral("a b") : name;
        QTest::addRow("U+%04X", unsigned(u)) << name << cleaned << cleaned;
    }
    for (char16_t u : {u'\u00A0', u'\u00E9', u'\u20AC', u'\u4E2D', u'\uFF0F'})
        QTest::addRow("U+%04X", unsigned(u)) << QString(QChar(u)) << QString(QChar(u)) << QString(QChar(u));
}

void TestPageCapture::file_names_are_cleaned() {
    QFETCH(QString, name);
    const QString returned = remove_invalid_filename_char(name);
    QTEST(name, "cleaned");
    QTEST(returned, "returned");
}

void TestPageCapture::folder_names_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("usable");
    QTest::newRow("name") << "Acme Corp" << true;
    QTest::newRow("dot") << "." << false;
    QTest::newRow("dot dot") << ".." << false;
    QTest::newRow("blanks") << "   " << false;
    QTest::newRow("dots in a name") << "A.B." << true;
}

void TestPageCapture::folder_names() {
    QFETCH(QString, name);
    QTEST(usable_folder_name(name), "usable");
}

void TestPageCapture::page_text_is_ascii_in_every_place_data() {
    QTest::addColumn<QString>("html");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ASCII as it is") << "<p class=\"a\">x &amp; y</p>" << QByteArray("<p class=\"a\">x &amp; y</p>");
    QTest::newRow("text") << QStringLiteral("B\u00f6rsenkurse f\u00fcr Sie 8,294 \u20ac \u201cso\u201d \u4e2d")
                          << QByteArray("B&#246;rsenkurse f&#252;r Sie 8,294 &#8364; &#8220;so&#8221; &#20013;");
    QTest::newRow("beyond 16 bits, one reference") << QStringLiteral("\U0001F600!") << QByteArray("&#128512;!");
    QTest::newRow("half a pair") << QString(QChar(0xD83D)) + "x" << QByteArray("&#65533;x");
    QTest::newRow("attribute values") << QStringLiteral("<img alt=\"a>b <style> \u00e9\" title='\u00fc'>\u00e4")
                                      << QByteArray("<img alt=\"a>b <style> &#233;\" title='&#252;'>&#228;");
    QTest::newRow("title and textarea read references")
        << QStringLiteral("<title>\u00c4</title><textarea>\u00e9</textarea>")
        << QByteArray("<title>&#196;</title><textarea>&#233;</textarea>");
    QTest::newRow("style") << QStringLiteral("<style>.gr\u00f6\u00dfe::after { content: \"\u20ac \U0001F600\" }</style>\u00fc")
                           << QByteArray("<style>.gr\\f6 \\df e::after { content: \"\\20ac  \\1f600 \" }</style>&#252;");
    QTest::newRow("style in capitals with attributes")
        << QStringLiteral("<STYLE media=\"screen\">b{x:\"\u00e9\"}</Style>\u00e9")
        << QByteArray("<STYLE media=\"screen\">b{x:\"\\e9 \"}</Style>&#233;");
    QTest::newRow("style in a picture") << QStringLiteral("<svg><style>t{x:\"\u00e9\"}</style></svg>")
                                        << QByteArray("<svg><style>t{x:\"\\e9 \"}</style></svg>");
    QTest::newRow("script") << QStringLiteral("<script type=\"x\">var s = \"\u00fc\U0001F600\";</script>\u00e9")
                            << QByteArray("<script type=\"x\">var s = \"\\u00fc\\ud83d\\ude00\";</script>&#233;");
    QTest::newRow("a tag that only begins like style") << QStringLiteral("<styles>\u00e9</styles>")
                                                        << QByteArray("<styles>&#233;</styles>");
    QTest::newRow("a comment naming a style") << QStringLiteral("<!-- <style> \u00e9 -->\u00fc<b>")
                                              << QByteArray("<!-- <style> &#233; -->&#252;<b>");
    QTest::newRow("unclosed style") << QStringLiteral("<style>\u00e9") << QByteArray("<style>\\e9 ");
}

// A kept page reads the same whatever encoding its own meta tag or the browser's guess
// gives the file: ASCII only, each character in the escape its place reads.
void TestPageCapture::page_text_is_ascii_in_every_place() {
    QFETCH(QString, html);
    QTEST(encode_page_text(html), "bytes");
}

void TestPageCapture::pictures_fetched_once_and_references_rewritten() {
    CaptureFixture f;
    ScriptedDocument doc;
    doc.sources = {"http://a.test/img/logo.gif", "http://a.test/img/logo.gif", "http://a.test/p/photo.JPG",
                   "http://a.test/img/logo.gif", "http://a.test/chart.png",    "http://a.test/x.gif?v=2",
                   "http://a.test/Mixed.Jpg",    "http://a.test/icon.svg",     "http://a.test/pic.webp"};
    doc.body = "<head></head><body><img src=\"{0}\"><img src=\"{1}\"><img src=\"{2}\"><img src=\"{3}\">"
               "<img src=\"{4}\"><img src=\"{5}\"><img src=\"{6}\"><img src=\"{7}\"><img src=\"{8}\">"
               "<SCRIPT>x</SCRIPT><object>o</object>\u00e9</body>";
    const QByteArray gif("GIF89a\x01\x00\x01\x00\x00\xff", 12);
    const QByteArray jpg("\xff\xd8\xff\xe0 jpeg \x00 bytes", 16);
    f.fx.http.by_url.insert("http://a.test/img/logo.gif", gif);
    f.fx.http.by_url.insert("http://a.test/p/photo.JPG", jpg);
    f.fx.http.by_url.insert("http://a.test/chart.png", png("chart"));
    f.fx.http.by_url.insert("http://a.test/icon.svg", svg("icon"));
    f.fx.http.by_url.insert("http://a.test/pic.webp", webp("pic"));
    QCOMPARE(f.run(doc), PageCapture::Result::saved);
    QCOMPARE(f.fx.http.requests.size(), 5);
    QCOMPARE(f.files(), QStringList({"chart.png", "icon.svg", "logo.gif", "page.htm", "photo.JPG", "pic.webp"}));
    QCOMPARE(read_file(f.folder + "logo.gif"), gif);
    QCOMPARE(read_file(f.folder + "photo.JPG"), jpg);
    QCOMPARE(read_file(f.folder + "chart.png"), png("chart"));
    QCOMPARE(read_file(f.folder + "icon.svg"), svg("icon"));
    QCOMPARE(read_file(f.folder + "pic.webp"), webp("pic"));
    auto at = [&](const char* name) { return local(f.folder + name); };
    // Pictures of no kind kept show from where the page had them.
    const QString expected = "<head></head><body><img src=\"" + at("logo.gif") + "\"><img src=\"" + at("logo.gif") +
                             "\"><img src=\"" + at("photo.JPG") + "\"><img src=\"" + at("logo.gif") + "\"><img src=\"" +
                             at("chart.png") + "\"><img src=\"http://a.test/x.gif?v=2\"><img src=\"http://a.test/Mixed.Jpg\">"
                             "<img src=\"" + at("icon.svg") + "\"><img src=\"" + at("pic.webp") + "\">&#233;</body>\r\n";
    QCOMPARE(QString::fromLatin1(read_file(f.page_path)), expected);
    QCOMPARE(f.page_path, f.folder + "page.htm");
    QCOMPARE(f.fx.messages.box_texts(), QStringList());
}

// Names beside the page would resolve against a base address the page names itself.
void TestPageCapture::a_page_with_a_base_address_keeps_file_addresses() {
    CaptureFixture f;
    ScriptedDocument doc;
    doc.base = true;
    doc.sources = {"http://a.test/img/logo.gif", "http://a.test/x.gif?v=2"};
    doc.body = "<head><base href=\"http://a.test/\"></head><body><img src=\"{0}\"><img src=\"{1}\"></body>";
    f.fx.http.by_url.insert("http://a.test/img/logo.gif", gif("logo"));
    QCOMPARE(f.run(doc), PageCapture::Result::saved);
    QCOMPARE(doc.written_sources, QStringList({file_address(f.folder + "logo.gif"), "http://a.test/x.gif?v=2"}));
}

void TestPageCapture::picture_kinds_by_name_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("kept");
    QTest::newRow(".gif") << "logo.gif" << true;
    QTest::newRow(".GIF") << "LOGO.GIF" << true;
    QTest::newRow(".jpg") << "photo.jpg" << true;
    QTest::newRow(".JPG") << "PHOTO.JPG" << true;
    QTest::newRow(".png") << "chart.png" << true;
    QTest::newRow(".PNG") << "CHART.PNG" << true;
    QTest::newRow(".webp") << "pic.webp" << true;
    QTest::newRow(".WEBP") << "PIC.WEBP" << true;
    QTest::newRow(".svg") << "icon.svg" << true;
    QTest::newRow(".SVG") << "ICON.SVG" << true;
    QTest::newRow(".Jpg") << "Mixed.Jpg" << false;
    QTest::newRow(".gIF") << "mixed.gIF" << false;
    QTest::newRow(".Png") << "mixed.Png" << false;
    QTest::newRow(".WebP") << "mixed.WebP" << false;
    QTest::newRow(".svgz") << "icon.svgz" << false;
    QTest::newRow(".jpeg") << "photo.jpeg" << false;
    QTest::newRow("query after the name") << "x.gif?v=2" << false;
    QTest::newRow("query after a PNG") << "x.png?w=200" << false;
    QTest::newRow("no dot") << "gif" << false;
    QTest::newRow("no dot before webp") << "webp" << false;
}

void TestPageCapture::picture_kinds_by_name() {
    QFETCH(QString, name);
    QFETCH(bool, kept);
    CaptureFixture f;
    ScriptedDocument doc;
    const QString src = "http://a.test/img/" + name;
    doc.sources = {src};
    const QByteArray bytes = picture_for(name, "kept");
    f.fx.http.by_url.insert(src, bytes);
    QCOMPARE(f.run(doc), PageCapture::Result::saved);
    QCOMPARE(f.fx.http.requests.size(), kept ? 1 : 0);
    QCOMPARE(doc.written_sources, QStringList{kept ? local(f.folder + name) : src});
    QStringList files = kept ? QStringList({name, "page.htm"}) : QStringList{"page.htm"};
    files.sort();
    QCOMPARE(f.files(), files);
    if (kept) QCOMPARE(read_file(f.folder + name), bytes);
    QCOMPARE(f.fx.messages.box_texts(), QStringList());
}

void TestPageCapture::svg_by_its_text_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("kept");
    QTest::newRow("bare") << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\"/>") << true;
    QTest::newRow("declaration, comment, type with a subset")
        << QByteArray("\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<!-- made > by hand -->\n"
                      "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" \"x.dtd\" [ <!ENTITY a \"]>\"> ]>\n"
                      "<?xml-stylesheet href=\"s.css\"?>\t<svg\nwidth=\"1\"></svg>")
        << true;
    QTest::newRow("an error page") << QByteArray("<!DOCTYPE html><html><body><svg></svg></body></html>") << false;
    QTest::newRow("another element first") << QByteArray("<svgx/>") << false;
    QTest::newRow("plain text") << QByteArray("Not found") << false;
    QTest::newRow("an unclosed comment") << QByteArray("<!-- <svg>") << false;
    QTest::newRow("a PNG") << png("x") << false;
}

// A picture named SVG is kept when its text is an SVG document, and is a failed picture
// otherwise.
void TestPageCapture::svg_by_its_text() {
    QFETCH(QByteArray, text);
    QFETCH(bool, kept);
    CaptureFixture f;
    ScriptedDocument doc;
    doc.sources = {"http://a.test/icon.svg"};
    f.fx.http.by_url.insert("http://a.test/icon.svg", text);
    QCOMPARE(f.run(doc), PageCapture::Result::saved);
    QCOMPARE(f.written, kept ? QStringList{"icon.svg"} : QStringList());
    QCOMPARE(f.fx.messages.box_texts(),
             kept ? QStringList()
                  : QStringList{"Error: Unable to save image" + f.folder +
                                "icon.svg in the web page. Error: The server sent no SVG picture from http://a.test/icon.svg"});
}

void TestPageCapture::same_name_from_two_addresses_keeps_both() {
    CaptureFixture f;
    write_file(f.folder + "banner.jpg", "an earlier page's banner");
    write_file(f.folder + "logo_2.gif", "an earlier page's second logo");
    ScriptedDocument doc;
    doc.sources = {"http://one.test/logo.gif", "http://two.test/logo.gif",   "http://one.test/logo.gif",
                   "http://two.test/banner.jpg", "http://three.test/NoImage.jpg", "http://x.test/my%20pic.gif",
                   "http://three.test/logo.gif", "http://four.test/logo_1.gif"};
    doc.body = "{0}|{1}|{2}|{3}|{4}|{5}|{6}|{7}";
    f.fx.http.by_url.insert("http://one.test/logo.gif", gif("one"));
    f.fx.http.by_url.insert("http://two.test/logo.gif", gif("two"));
    f.fx.http.by_url.insert("http://two.test/banner.jpg", jpeg("new banner"));
    f.fx.http.by_url.insert("http://three.test/NoImage.jpg", jpeg("a real picture"));
    f.fx.http.by_url.insert("http://x.test/my%20pic.gif", gif("spaced"));
    f.fx.http.by_url.insert("http://three.test/logo.gif", gif("three"));
    f.fx.http.by_url.insert("http://four.test/logo_1.gif", gif("four"));
    QCOMPARE(f.run(doc), PageCapture::Result::saved);
    const QString d = f.folder;
    // The first free name each: an earlier page's file and an earlier picture's name are skipped.
    QCOMPARE(doc.written_sources, QStringList({local(d + "logo.gif"), local(d + "logo_1.gif"), local(d + "logo.gif"),
                                               local(d + "banner_1.jpg"), local(d + "NoImage_1.jpg"),
                                               local(d + "my_20pic.gif"), local(d + "logo_3.gif"),
                                               local(d + "logo_1_1.gif")}));
    QCOMPARE(read_file(d + "logo.gif"), gif("one"));
    QCOMPARE(read_file(d + "logo_1.gif"), gif("two"));
    QCOMPARE(read_file(d + "logo_3.gif"), gif("three"));
    QCOMPARE(read_file(d + "logo_2.gif"), QByteArray("an earlier page's second logo"));
    QCOMPARE(read_file(d + "banner.jpg"), QByteArray("an earlier page's banner"));
    QCOMPARE(f.fx.http.requests.size(), 7);
}

void TestPageCapture::picture_names_never_start_with_a_dot_data() {
    QTest::addColumn<QStringList>("names");  // after the address's last "/"
    QTest::addColumn<QStringList>("kept");   // the files they are kept in, in that order
    QTest::newRow("only an ending") << QStringList{".png"} << QStringList{"_.png"};
    QTest::newRow("a hidden name") << QStringList{".logo.gif"} << QStringList{"_.logo.gif"};
    QTest::newRow("two dots") << QStringList{"..jpg"} << QStringList{"_..jpg"};
    QTest::newRow("two of them, and the name they become")
        << QStringList{".png", "x/.png", "_.png"} << QStringList{"_.png", "__1.png", "__2.png"};
    QTest::newRow("taken by an earlier page") << QStringList{".gif"} << QStringList{"__1.gif"};
}

// A file whose name starts with a dot is hidden, and a backup leaves hidden files out: a
// picture is never kept under such a name, but renamed as a name that is taken would be.
void TestPageCapture::picture_names_never_start_with_a_dot() {
    QFETCH(QStringList, names);
    QFETCH(QStringList, kept);
    CaptureFixture f;
    write_file(f.folder + "_.gif", "an earlier page's picture");
    ScriptedDocument doc;
    for (int i = 0; i < names.size(); ++i) {
        const QString src = "http://a.test/" + QString::number(i) + "/" + names[i];
        doc.sources << src;
        f.fx.http.by_url.insert(src, picture_for(names[i], QByteArray::number(i)));
    }
    QCOMPARE(f.run(doc), PageCapture::Result::saved);
    QCOMPARE(f.written, kept);
    QStringList references;
    for (int i = 0; i < kept.size(); ++i) {
        references << local(f.folder + kept[i]);
        QCOMPARE(read_file(f.folder + kept[i]), picture_for(names[i], QByteArray::number(i)));
    }
    QCOMPARE(doc.written_sources, references);
    QCOMPARE(QDir(f.folder).entryList(QDir::Files | QDir::Hidden).filter(QRegularExpression("^\\.")), QStringList());
}

void TestPageCapture::pictures_are_never_written_through_a_link_data() {
    QTest::addColumn<bool>("dangling");
    QTest::newRow("a link to a file outside") << false;
    QTest::newRow("a link that names nothing yet") << true;
}

// A page folder can hold what a copy or an unpacked archive put there: a link where a
// picture's name would go keeps its name, and nothing outside the folder is written.
void TestPageCapture::pictures_are_never_written_through_a_link() {
    QFETCH(bool, dangling);
    CaptureFixture f;
    QTemporaryDir outside;
    const QString victim = outside.path() + "/logo.gif";
    if (!dangling) write_file(victim, "outside");
    QVERIFY(QFile::link(victim, f.folder + "logo.gif"));
    ScriptedDocument doc;
    doc.sources << "http://a.test/logo.gif";
    f.fx.http.by_url.insert(doc.sources[0], gif("kept"));
    QCOMPARE(f.run(doc), PageCapture::Result::saved);
    QCOMPARE(f.written, QStringList{"logo_1.gif"});
    QCOMPARE(read_file(f.folder + "logo_1.gif"), gif("kept"));
    QCOMPARE(QFileInfo(f.folder + "logo.gif").symLinkTarget(), victim);
    if (dangling)
        QVERIFY(!QFileInfo::exists(victim));
    else
        QCOMPARE(read_file(victim), QByteArray("outside"));
}

// Pictures of one name from different addresses: four times as many take about four
// times as long to name and keep, not sixteen.
void TestPageCapture::many_pictures_of_one_name_take_linear_time() {
    QStringList last_names;
    const Growth g = measure_growth([&](bool large) {
        const int n = large ? 8000 : 2000;
        CaptureFixture f;
        InstantPictures pictures;
        f.http = &pictures;
        ScriptedDocument doc;
        for (int i = 0; i < n; ++i) doc.sources << QStringLiteral("http://host%1.test/logo.gif").arg(i);
        f.run(doc);
        if (large) last_names = doc.written_sources.mid(n - 2);
    }, 5);
    qInfo("8,000 against 2,000 pictures: %s", qPrintable(g.text()));
    QCOMPARE(last_names.value(1), QString("logo_7999.gif"));
    QVERIFY2(g.ratio() < 8, qPrintable(g.text()));
}

void TestPageCapture::failed_pictures_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<std::optional<QByteArray>>("reply");
    QTest::addColumn<QString>("why");
    QTest::newRow("no reply") << "gone.gif" << std::optional<QByteArray>() << "The picture could not be downloaded from ";
    QTest::newRow("empty") << "empty.jpg" << std::optional<QByteArray>(QByteArray()) << "The server sent no picture from ";
    QTest::newRow("an error page as a JPEG") << "photo.jpg"
                                             << std::optional<QByteArray>("<html><body>Not found</body></html>")
                                             << "The server sent no JPEG picture from ";
    QTest::newRow("an error page as a GIF") << "logo.GIF" << std::optional<QByteArray>("<!DOCTYPE html><p>gone</p>")
                                            << "The server sent no GIF picture from ";
    QTest::newRow("a GIF named JPEG") << "photo.JPG" << std::optional<QByteArray>(gif("x"))
                                      << "The server sent no JPEG picture from ";
    QTest::newRow("a JPEG named GIF") << "logo.gif" << std::optional<QByteArray>(jpeg("x"))
                                      << "The server sent no GIF picture from ";
    QTest::newRow("a GIF cut short") << "logo.gif" << std::optional<QByteArray>("GIF8") << "The server sent no GIF picture from ";
    QTest::newRow("an error page as a PNG") << "chart.png" << std::optional<QByteArray>("<html>Forbidden</html>")
                                            << "The server sent no PNG picture from ";
    QTest::newRow("a JPEG named PNG") << "chart.PNG" << std::optional<QByteArray>(jpeg("x"))
                                      << "The server sent no PNG picture from ";
    QTest::newRow("a PNG cut short") << "chart.png" << std::optional<QByteArray>("\x89PNG\r\n")
                                     << "The server sent no PNG picture from ";
    QTest::newRow("a sound named WebP") << "pic.webp" << std::optional<QByteArray>(QByteArray("RIFF\x04\x00\x00\x00WAVEfmt ", 16))
                                        << "The server sent no WebP picture from ";
    QTest::newRow("a WebP cut short") << "pic.webp" << std::optional<QByteArray>(QByteArray("RIFF\x04\x00\x00\x00WEB", 11))
                                      << "The server sent no WebP picture from ";
    QTest::newRow("an error page as an SVG") << "icon.svg" << std::optional<QByteArray>("<html><p>gone</p></html>")
                                             << "The server sent no SVG picture from ";
}

// A picture that cannot be had leaves no file and keeps the address the page had for it,
// which shows it again whenever the address answers; the page is kept.
void TestPageCapture::failed_pictures() {
    QFETCH(QString, name);
    QFETCH(std::optional<QByteArray>, reply);
    QFETCH(QString, why);
    CaptureFixture f;
    ScriptedDocument doc;
    const QString src = "http://a.test/" + name;
    doc.sources = {src, "http://a.test/ok.gif"};
    doc.body = "{0}|{1}";
    f.fx.http.by_url.insert(src, reply);
    f.fx.http.by_url.insert("http://a.test/ok.gif", gif("ok"));
    QCOMPARE(f.run(doc), PageCapture::Result::saved);
    const QString d = f.folder;
    QCOMPARE(doc.written_sources, QStringList({src, local(d + "ok.gif")}));
    QCOMPARE(f.files(), QStringList({"ok.gif", "page.htm"}));
    QCOMPARE(f.written, QStringList{"ok.gif"});
    QCOMPARE(f.fx.messages.box_texts(),
             QStringList{"Error: Unable to save image" + d + name + " in the web page. Error: " + why + src});
}

void TestPageCapture::one_message_counts_the_pictures_left_out_data() {
    QTest::addColumn<int>("failing");
    QTest::addColumn<QString>("more");
    QTest::newRow("none") << 0 << "";
    QTest::newRow("one") << 1 << "";
    QTest::newRow("two") << 2 << " (1 more pictures could not be saved)";
    QTest::newRow("five") << 5 << " (4 more pictures could not be saved)";
}

// One box for the page, naming the first picture and counting the others that failed;
// pictures that were kept are not counted.
void TestPageCapture::one_message_counts_the_pictures_left_out() {
    QFETCH(int, failing);
    QFETCH(QString, more);
    CaptureFixture f;
    ScriptedDocument doc;
    for (int i = 0; i < 6; ++i) {
        const QString src = QStringLiteral("http://a.test/p%1.gif").arg(i);
        doc.sources << src;
        // The failing ones among kept ones, from the second picture on.
        f.fx.http.by_url.insert(src, i >= 1 && i <= failing ? std::nullopt : std::optional<QByteArray>(gif("p")));
    }
    QCOMPARE(f.run(doc), PageCapture::Result::saved);
    QCOMPARE(f.written.size(), 6 - failing);
    if (failing == 0) {
        QCOMPARE(f.fx.messages.box_texts(), QStringList());
        return;
    }
    QCOMPARE(f.fx.messages.box_texts(),
             QStringList{"Error: Unable to save image" + f.folder +
                         "p1.gif in the web page. Error: The picture could not be downloaded from http://a.test/p1.gif" +
                         more});
}

void TestPageCapture::stopping_between_pictures_writes_no_page() {
    CaptureFixture f;
    ScriptedDocument doc;
    doc.sources = {"http://a.test/1.gif", "http://a.test/2.gif", "http://a.test/3.gif"};
    doc.body = "{0}{1}{2}";
    for (const char* u : {"http://a.test/1.gif", "http://a.test/2.gif", "http://a.test/3.gif"})
        f.fx.http.by_url.insert(u, gif("p"));
    bool going = true;
    f.hooks.keep_going = [&] { return going; };
    f.fx.http.during_get = [&](const QUrl& u) {
        if (u.toString().endsWith("2.gif")) going = false;  // Cancel while the second one loads
    };
    QCOMPARE(f.run(doc), PageCapture::Result::stopped);
    QCOMPARE(f.files(), QStringList({"1.gif", "2.gif"}));
    QCOMPARE(f.fx.http.requests.size(), 2);
}

void TestPageCapture::five_hundred_pictures_and_a_fetch_budget() {
    CaptureFixture f;
    ScriptedDocument doc;
    for (int i = 0; i < 500; ++i) {
        const QString u = QStringLiteral("http://a.test/p%1.gif").arg(i % 250);
        doc.sources << u;
        f.fx.http.by_url.insert(u, gif("p"));
    }
    QCOMPARE(f.run(doc), PageCapture::Result::saved);
    QCOMPARE(f.fx.http.requests.size(), 250);
    QCOMPARE(f.written.size(), 250);
    // Every fetch is given what is left of one deadline for all the pictures.
    QCOMPARE(f.fx.http.deadlines.size(), 250);
    for (const QDeadlineTimer& d : std::as_const(f.fx.http.deadlines)) {
        QCOMPARE(d.deadlineNSecs(), f.fx.http.deadlines[0].deadlineNSecs());
        QVERIFY(d.remainingTime() <= PageCapture::kDefaultFetchBudgetMs);
    }

    // Pictures that keep the page waiting too long are given up, with one message.
    CaptureFixture slow;
    slow.budget = 50;
    ScriptedDocument two;
    two.sources = {"http://a.test/a.gif", "http://a.test/b.gif"};
    slow.fx.http.during_get = [](const QUrl&) { QTest::qSleep(100); };
    slow.fx.http.by_url.insert("http://a.test/a.gif", gif("a"));
    slow.fx.http.by_url.insert("http://a.test/b.gif", gif("b"));
    QCOMPARE(slow.run(two), PageCapture::Result::saved);
    QCOMPARE(slow.fx.http.requests.size(), 1);
    QCOMPARE(slow.fx.messages.boxes.size(), 1);
    QVERIFY(slow.fx.messages.box_texts()[0].contains("took too long"));
}

// A server that keeps each picture back for 10 s, a budget of 300 ms: the first fetch is
// given up when the budget is spent, not when the picture or the transfer's own 30 s end.
void TestPageCapture::the_budget_bounds_a_slow_picture() {
    LoopbackHttp server;
    for (const char* path : {"/slow1.gif", "/slow2.gif"}) {
        server.route(path, gif("slow"), "image/gif");
        server.delay(path, 10000);
    }
    QtHttpTransport transport;
    CaptureFixture f;
    f.http = &transport;
    f.budget = 300;
    ScriptedDocument doc;
    doc.sources = {server.url("/slow1.gif"), server.url("/slow2.gif")};
    QElapsedTimer t;
    t.start();
    QCOMPARE(f.run(doc), PageCapture::Result::saved);
    const qint64 took = t.elapsed();
    QVERIFY2(took < 5000, qPrintable(QString::number(took)));
    QCOMPARE(server.requests.value(0), "/slow1.gif");
    QCOMPARE(f.files(), QStringList{"page.htm"});
    QVERIFY(f.fx.messages.box_texts().value(0).endsWith("(1 more pictures could not be saved)"));
}

void TestPageCapture::hanging_and_oversized_pictures_through_the_transport() {
    LoopbackHttp server;
    server.route("/hang.gif", LoopbackHttp::Reply{200, "image/gif", "", true});
    server.route("/huge.jpg", QByteArray(2 * 1024 * 1024, 'j'), "image/jpeg");
    server.route("/missing.gif", LoopbackHttp::Reply{404, "text/plain", "gone", false});
    server.route("/fine.gif", gif(" fine"), "image/gif");
    // The program's transport with a short time-out and a 1 MB limit in place of 30 s and 10 MB.
    QtHttpTransport transport(300, 1024 * 1024);
    CaptureFixture f;
    f.http = &transport;
    ScriptedDocument doc;
    doc.sources = {server.url("/hang.gif"), server.url("/huge.jpg"), server.url("/missing.gif"), server.url("/fine.gif")};
    doc.body = "{0}|{1}|{2}|{3}";
    QElapsedTimer t;
    t.start();
    QCOMPARE(f.run(doc), PageCapture::Result::saved);
    QVERIFY(t.elapsed() < 20000);  // far below the 60 s budget, far above a busy machine's delay
    QCOMPARE(f.files(), QStringList({"fine.gif", "page.htm"}));
    QCOMPARE(doc.written_sources, QStringList({server.url("/hang.gif"), server.url("/huge.jpg"), server.url("/missing.gif"),
                                               local(f.folder + "fine.gif")}));
    QCOMPARE(f.fx.messages.boxes.size(), 1);
    QVERIFY(f.fx.messages.box_texts()[0].endsWith("(2 more pictures could not be saved)"));
}

void TestPageCapture::kept_pages_are_found_where_their_folder_is_now_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("opened");  // below the program folder; "" for the stored address
    QTest::newRow("where it was kept") << "{here}/Acme/p.htm" << "";
    QTest::newRow("folder moved") << "/old/place/Acme/p.htm" << "Acme/p.htm";
    QTest::newRow("folder moved, WebData") << "/old/place/WebData/w.htm" << "WebData/w.htm";
    QTest::newRow("file address, folder moved") << "file:///old/place/Acme/p.htm" << "Acme/p.htm";
    QTest::newRow("Windows path") << "C:\\Program Files\\Quorbelix\\Acme\\Q3 results.htm" << "Acme/Q3 results.htm";
    QTest::newRow("Windows path, WebData") << "d:/Quorbelix/WebData/w.htm" << "WebData/w.htm";
    QTest::newRow("Windows network path") << "\\\\server\\share\\Acme\\p.htm" << "Acme/p.htm";
    QTest::newRow("not here either") << "/old/place/Acme/gone.htm" << "";
    QTest::newRow("another folder's page") << "C:\\Q\\Bolt\\p.htm" << "";
    QTest::newRow("a folder that is no security's") << "C:\\Q\\..\\p.htm" << "";
    QTest::newRow("web address") << "http://x.test/Acme/p.htm" << "";
    QTest::newRow("a name alone") << "p.htm" << "";
}

// A kept page's record keeps the path it was written to; after the program folder moved,
// or for a record of the Windows program, the page of that folder and name is opened.
void TestPageCapture::kept_pages_are_found_where_their_folder_is_now() {
    QFETCH(QString, stored);
    QFETCH(QString, opened);
    CoreFixture fx;
    const QString here = fx.path("Quorbelix");
    for (const char* page : {"Acme/p.htm", "Acme/Q3 results.htm", "WebData/w.htm", "p.htm"}) {
        QDir().mkpath(QFileInfo(here + "/" + page).path());
        write_file(here + "/" + page, "<body>kept</body>");
    }
    stored.replace("{here}", here);
    QCOMPARE(kept_page_to_open(stored, here), opened.isEmpty() ? stored : here + "/" + opened);
}

void TestPageCapture::reference_names_that_leave_the_folder_are_refused_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("two folders up") << "../../escape";
    QTest::newRow("a folder below") << "sub/page";
    QTest::newRow("a leading slash") << "/escape";
    QTest::newRow("a backslash") << "..\\escape";
}

// Refused before anything is fetched or written, as a capture that could not write its page.
void TestPageCapture::reference_names_that_leave_the_folder_are_refused() {
    QFETCH(QString, name);
    CaptureFixture f;
    // Two folders down in the test's own folder, so a name that escapes stays inside it.
    f.folder = f.fx.path("pages/WebData/");
    QDir().mkpath(f.folder + "sub");
    ScriptedDocument doc;
    doc.sources = {"http://a.test/logo.gif"};
    f.fx.http.by_url.insert("http://a.test/logo.gif", gif("logo"));
    QCOMPARE(f.run(doc, name), PageCapture::Result::page_not_written);
    QCOMPARE(f.fx.messages.box_texts(),
             QStringList{"Error: Unable to save Web Page:" + f.folder + name +
                         ".htm. Error: The reference name is not a file name in the page folder."});
    QVERIFY(f.fx.http.requests.isEmpty());
    QVERIFY(f.files().isEmpty());
    QVERIFY(QDir(f.folder + "sub").isEmpty());
    QVERIFY(!QFile::exists(f.fx.path("escape.htm")));
    QVERIFY(!QFile::exists(f.fx.path("pages/escape.htm")));
}

QTEST_MAIN(TestPageCapture)
#include "tst_page_capture.moc"
