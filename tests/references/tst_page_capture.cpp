// Keeping a page on disk without a browser: block removal, file-name cleaning, the
// saved text's bytes, and the capture over a scripted document and transport.
#include "core/codepage.h"
#include "references/page_capture.h"
#include "platform/qt_platform.h"
#include "support/fakes.h"
#include "support/loopback_http.h"

#include <QDir>
#include <QElapsedTimer>
#include <QUrl>
#include <QtTest>

using namespace qb;
using namespace qb::test;

namespace {

class ScriptedDocument : public CaptureDocument {
public:
    std::optional<QStringList> picture_sources() override { return sources; }
    bool set_picture_sources(const QStringList& s) override {
        written_sources = s;
        return true;
    }
    std::optional<QString> inner_html() override {
        QString html = body;
        for (int i = 0; i < written_sources.size(); ++i) html.replace(QStringLiteral("{%1}").arg(i), written_sources[i]);
        return html;
    }
    QStringList sources;
    QStringList written_sources;
    QString body;  // "{i}" stands for picture i's src
};

struct CaptureFixture {
    CaptureFixture() {
        fx.start();
        fx.messages.boxes.clear();  // the start-up's own notices
        folder = fx.path("WebData/");
        QDir().mkpath(folder);
    }
    PageCapture::Result run(ScriptedDocument& doc, const QString& name = "page") {
        PageCapture capture(&fx.http, folder, hooks);
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
};

// The reference a saved picture gets.
QString local(const QString& path) { return QString::fromUtf8(QUrl::fromLocalFile(path).toEncoded()); }

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
    void page_text_keeps_every_character();
    void pictures_fetched_once_and_references_rewritten();
    void same_name_from_two_addresses_keeps_both();
    void failed_or_empty_pictures_are_not_written();
    void stopping_between_pictures_writes_no_page();
    void five_hundred_pictures_and_a_fetch_budget();
    void hanging_and_oversized_pictures_through_the_transport();
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

void TestPageCapture::page_text_keeps_every_character() {
    const QString text = QStringLiteral("caf\u00e9 \u20ac5 \u4e2d \U0001F600<b>");
    QCOMPARE(encode_page_text(text), QByteArray("caf\xe9 \x80" "5 &#20013; &#128512;<b>"));
}

void TestPageCapture::pictures_fetched_once_and_references_rewritten() {
    CaptureFixture f;
    ScriptedDocument doc;
    doc.sources = {"http://a.test/img/logo.gif", "http://a.test/img/logo.gif", "http://a.test/p/photo.JPG",
                   "http://a.test/img/logo.gif", "http://a.test/chart.png", "http://a.test/x.gif?v=2",
                   "http://a.test/Mixed.Jpg"};
    doc.body = "<head></head><body><img src=\"{0}\"><img src=\"{1}\"><img src=\"{2}\"><img src=\"{3}\">"
               "<img src=\"{4}\"><img src=\"{5}\"><img src=\"{6}\"><SCRIPT>x</SCRIPT><object>o</object>\u00e9</body>";
    const QByteArray gif("GIF89a\x01\x00\x01\x00\x00\xff", 12);
    const QByteArray jpg("\xff\xd8\xff\xe0 jpeg \x00 bytes", 16);
    f.fx.http.by_url.insert("http://a.test/img/logo.gif", gif);
    f.fx.http.by_url.insert("http://a.test/p/photo.JPG", jpg);
    QCOMPARE(f.run(doc), PageCapture::Result::saved);
    QCOMPARE(f.fx.http.requests.size(), 2);
    QCOMPARE(f.files(), QStringList({"logo.gif", "page.htm", "photo.JPG"}));
    QCOMPARE(read_file(f.folder + "logo.gif"), gif);
    QCOMPARE(read_file(f.folder + "photo.JPG"), jpg);
    const QString logo = local(f.folder + "logo.gif"), photo = local(f.folder + "photo.JPG"),
                  none = local(f.folder + "NoImage.jpg");
    const QString expected = "<head></head><body><img src=\"" + logo + "\"><img src=\"" + logo + "\"><img src=\"" +
                             photo + "\"><img src=\"" + logo + "\"><img src=\"" + none + "\"><img src=\"" + none +
                             "\"><img src=\"" + none + "\">\u00e9</body>\r\n";
    QCOMPARE(read_file(f.page_path), encode_cp1252(expected));
    QCOMPARE(f.page_path, f.folder + "page.htm");
    QCOMPARE(f.fx.messages.box_texts(), QStringList());
}

void TestPageCapture::same_name_from_two_addresses_keeps_both() {
    CaptureFixture f;
    write_file(f.folder + "banner.jpg", "an earlier page's banner");
    ScriptedDocument doc;
    doc.sources = {"http://one.test/logo.gif", "http://two.test/logo.gif", "http://one.test/logo.gif",
                   "http://two.test/banner.jpg", "http://three.test/NoImage.jpg", "http://x.test/my%20pic.gif"};
    doc.body = "{0}|{1}|{2}|{3}|{4}|{5}";
    f.fx.http.by_url.insert("http://one.test/logo.gif", QByteArray("one"));
    f.fx.http.by_url.insert("http://two.test/logo.gif", QByteArray("two"));
    f.fx.http.by_url.insert("http://two.test/banner.jpg", QByteArray("new banner"));
    f.fx.http.by_url.insert("http://three.test/NoImage.jpg", QByteArray("a real picture"));
    f.fx.http.by_url.insert("http://x.test/my%20pic.gif", QByteArray("spaced"));
    QCOMPARE(f.run(doc), PageCapture::Result::saved);
    const QString d = f.folder;
    QCOMPARE(doc.written_sources, QStringList({local(d + "logo.gif"), local(d + "logo_1.gif"), local(d + "logo.gif"),
                                               local(d + "banner_1.jpg"), local(d + "NoImage_1.jpg"),
                                               local(d + "my_20pic.gif")}));
    QCOMPARE(read_file(d + "logo.gif"), QByteArray("one"));
    QCOMPARE(read_file(d + "logo_1.gif"), QByteArray("two"));
    QCOMPARE(read_file(d + "banner.jpg"), QByteArray("an earlier page's banner"));
    QCOMPARE(f.fx.http.requests.size(), 5);
}

void TestPageCapture::failed_or_empty_pictures_are_not_written() {
    CaptureFixture f;
    ScriptedDocument doc;
    doc.sources = {"http://a.test/gone.gif", "http://a.test/empty.jpg", "http://a.test/ok.gif"};
    doc.body = "{0}|{1}|{2}";
    f.fx.http.by_url.insert("http://a.test/gone.gif", std::nullopt);
    f.fx.http.by_url.insert("http://a.test/empty.jpg", QByteArray());
    f.fx.http.by_url.insert("http://a.test/ok.gif", QByteArray("ok"));
    QCOMPARE(f.run(doc), PageCapture::Result::saved);
    const QString d = f.folder;
    QCOMPARE(doc.written_sources, QStringList({local(d + "NoImage.jpg"), local(d + "NoImage.jpg"), local(d + "ok.gif")}));
    QCOMPARE(f.files(), QStringList({"ok.gif", "page.htm"}));
    // One box for the page, naming the first picture and how many more failed.
    QCOMPARE(f.fx.messages.box_texts(),
             QStringList({"Error: Unable to save image" + d +
                          "gone.gif in the web page. Error: The picture could not be downloaded from "
                          "http://a.test/gone.gif (1 more pictures could not be saved)"}));
}

void TestPageCapture::stopping_between_pictures_writes_no_page() {
    CaptureFixture f;
    ScriptedDocument doc;
    doc.sources = {"http://a.test/1.gif", "http://a.test/2.gif", "http://a.test/3.gif"};
    doc.body = "{0}{1}{2}";
    for (const char* u : {"http://a.test/1.gif", "http://a.test/2.gif", "http://a.test/3.gif"})
        f.fx.http.by_url.insert(u, QByteArray("p"));
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
        f.fx.http.by_url.insert(u, QByteArray("gif"));
    }
    QCOMPARE(f.run(doc), PageCapture::Result::saved);
    QCOMPARE(f.fx.http.requests.size(), 250);
    QCOMPARE(f.written.size(), 250);

    // Pictures that keep the page waiting too long are given up, with one message.
    CaptureFixture slow;
    slow.budget = 0;
    ScriptedDocument two;
    two.sources = {"http://a.test/a.gif", "http://a.test/b.gif"};
    slow.fx.http.during_get = [](const QUrl&) { QTest::qSleep(5); };
    slow.fx.http.by_url.insert("http://a.test/a.gif", QByteArray("a"));
    slow.fx.http.by_url.insert("http://a.test/b.gif", QByteArray("b"));
    QCOMPARE(slow.run(two), PageCapture::Result::saved);
    QCOMPARE(slow.fx.http.requests.size(), 1);
    QCOMPARE(slow.fx.messages.boxes.size(), 1);
    QVERIFY(slow.fx.messages.box_texts()[0].contains("took too long"));
}

void TestPageCapture::hanging_and_oversized_pictures_through_the_transport() {
    LoopbackHttp server;
    server.route("/hang.gif", LoopbackHttp::Reply{200, "image/gif", "", true});
    server.route("/huge.jpg", QByteArray(2 * 1024 * 1024, 'j'), "image/jpeg");
    server.route("/missing.gif", LoopbackHttp::Reply{404, "text/plain", "gone", false});
    server.route("/fine.gif", QByteArray("GIF89a fine"), "image/gif");
    // The program's transport with a short time-out and a 1 MB limit in place of 30 s and 10 MB.
    QtHttpTransport transport(300, 1024 * 1024);
    CaptureFixture f;
    f.fx.http.pass_to = &transport;
    ScriptedDocument doc;
    doc.sources = {server.url("/hang.gif"), server.url("/huge.jpg"), server.url("/missing.gif"), server.url("/fine.gif")};
    doc.body = "{0}|{1}|{2}|{3}";
    QElapsedTimer t;
    t.start();
    QCOMPARE(f.run(doc), PageCapture::Result::saved);
    QVERIFY(t.elapsed() < 20000);  // far below the 60 s budget, far above a busy machine's delay
    QCOMPARE(f.files(), QStringList({"fine.gif", "page.htm"}));
    const QString none = local(f.folder + "NoImage.jpg");
    QCOMPARE(doc.written_sources, QStringList({none, none, none, local(f.folder + "fine.gif")}));
    QCOMPARE(f.fx.messages.boxes.size(), 1);
    QVERIFY(f.fx.messages.box_texts()[0].endsWith("(2 more pictures could not be saved)"));
}

QTEST_MAIN(TestPageCapture)
#include "tst_page_capture.moc"
