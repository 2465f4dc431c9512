// The web page editor with a real browser pane on pages of a loopback server: the
// capture to disk end to end, the checks, a failed navigation, Cancel during a capture,
// the news hand-off's names, local files and reopening.
#include "platform/qt_platform.h"
#include "references/savewebpage.h"
#include "references_fixture.h"
#include "support/loopback_http.h"
#include "support/page_world.h"
#include "support/webengine_test_main.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <QWindow>

using namespace qb;
using namespace qb::test;

namespace {

const QByteArray kGif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00!\xf9\x04\x00\x00\x00\x00\x00,"
                      "\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                      43);
const QByteArray kJpg("\xff\xd8\xff\xe0\x00\x10JFIF not really a picture \x00\x01\xff\xd9", 34);

// A 3 by 2 PNG, a 1 by 1 WebP and a 5 by 4 SVG that the pane draws.
QByteArray png_picture() {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}
const QByteArray kWebp = QByteArray::fromBase64("UklGRhoAAABXRUJQVlA4TA0AAAAvAAAAEAcQERGIiP4HAA==");
const QByteArray kSvg = "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"5\" height=\"4\">"
                        "<rect width=\"5\" height=\"4\" fill=\"blue\"/></svg>";


// A page that gives itself away when a script of it runs: each script asks the server for
// /ran?<name>-<protocol> and marks the document element (whose own attributes a capture
// does not keep); two of them read local files and say so. Without scripts it still tries
// to show local files in frames and a local style sheet. Its own picture is logo.gif.
QByteArray hostile_page(const LoopbackHttp& server) {
    const QString ran = server.url("/ran?");
    // The report names the page's kind by its protocol: a live page's late reports are no
    // kept page's.
    auto act = [&](const QString& name, const QString& window = "window") {
        return "new Image().src='" + ran + name + "-' + " + window + ".location.protocol;" + window +
               ".document.documentElement.setAttribute('data-ran-" + name + "','')";
    };
    const QString page =
        "<html><head><title>Hostile</title><link rel=\"stylesheet\" href=\"../secret.css\">"
        "<script>" + act("script") + "</script></head>"
        "<body onload=\"" + act("onload") +
        ";fetch('../entries.dat').then(r => r.ok ? r.text() : Promise.reject()).then(t => {" + act("read-entries") + "});"
        "var x = new XMLHttpRequest(); x.onload = function () {" + act("read-passwd") + "};"
        "x.open('GET', 'file:///etc/passwd'); x.send()\">"
        "<h1>Kept</h1><img id=\"own\" src=\"logo.gif\"><img src=\"missing.gif\" onerror=\"" + act("onerror") + "\">"
        "<svg width=\"1\" height=\"1\" onload=\"" + act("svg") + "\"></svg>"
        "<details open ontoggle=\"" + act("ontoggle") + "\"><summary>s</summary>d</details>"
        "<iframe src=\"javascript:" + act("javascript-frame", "parent") + ";void 0\"></iframe>"
        "<iframe srcdoc=\"&lt;script&gt;" + act("srcdoc", "parent") + "&lt;/script&gt;\"></iframe>"
        "<iframe src=\"" + server.url("/frame.htm") + "\"></iframe>"
        "<iframe src=\"../secret.txt\"></iframe><iframe src=\"file:///etc/passwd\"></iframe>"
        "<a id=\"go\" href=\"javascript:" + act("javascript-link") + ";void 0\">go</a></body></html>";
    return page.toUtf8();
}
const QStringList kHostileScripts = {"onload", "onerror", "svg", "ontoggle", "javascript-frame", "srcdoc",
                                     "remote-frame", "javascript-link"};

// What the page shows of local files other than its pictures.
const QString kLocalReads = QStringLiteral(R"js((function () {
  var found = [];
  document.querySelectorAll('iframe').forEach(function (f) {
    try {
      var d = f.contentDocument;
      if (d && d.documentElement && /SECRET-MARK|root:/.test(d.documentElement.textContent))
        found.push('frame ' + f.getAttribute('src'));
    } catch (e) {}
  });
  if (getComputedStyle(document.body).color == 'rgb(1, 2, 3)') found.push('style sheet');
  if (/SECRET-MARK/.test(document.documentElement.textContent)) found.push('the page itself');
  return found;
})())js");
const QString kMarks = QStringLiteral(
    "Array.from(document.documentElement.attributes).map(a => a.name).filter(n => n.startsWith('data-ran-'))");

// The names the server was asked for under /ran, in order.
QStringList ran(const LoopbackHttp& server) {
    QStringList names;
    for (const QString& r : server.requests)
        if (r.startsWith("/ran?")) names << r.mid(5);
    return names;
}

SaveWebPage* open_new(ReferencesFixture& f) {
    f.press(button_web_page);
    return f.window<SaveWebPage>("SaveWebPage");
}

bool wait_for_load(SaveWebPage* e, QSignalSpy& spy) {
    return spy.wait(30000) && e->WebBrowser1->page() != nullptr;
}

// Types an address and Enter, and waits for the page.
bool go_to(SaveWebPage* e, const QString& address, bool* ok = nullptr) {
    QSignalSpy spy(e->WebBrowser1, &QWebEngineView::loadFinished);
    e->Web_address->setFocus();
    QTest::keyClicks(e->Web_address, address);
    QTest::keyClick(e->Web_address, Qt::Key_Return);
    if (!wait_for_load(e, spy)) return false;
    if (ok) *ok = spy.last().value(0).toBool();
    return true;
}

} // namespace

class TestSaveWebPage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SaveWebPage::start_page = QStringLiteral("about:blank"); }
    void first_pane_keeps_the_frame_window();
    void capture_end_to_end_and_reopen();
    void saved_page_reads_as_the_live_page();
    void saved_pictures_show_after_a_restart();
    void kept_page_opens_where_its_folder_is_now_data();
    void kept_page_opens_where_its_folder_is_now();
    void kept_page_runs_no_script_and_reads_no_local_file_data();
    void kept_page_runs_no_script_and_reads_no_local_file();
    void checks_data();
    void checks();
    void long_page_path_is_refused();
    void unloadable_page_asks_to_store_without_it_data();
    void unloadable_page_asks_to_store_without_it();
    void cancel_during_capture_stores_nothing();
    void news_hand_off_names();
    void local_file_stored_as_typed();
    void failed_save_keeps_the_page_for_a_retry();
};

// Nothing of Qt Quick is made before the first pane: it would cost memory at every start.
// The pane makes the frame a new native window; under a window manager that one stands
// where the frame stood, and the window the user was in is active again.
void TestSaveWebPage::first_pane_keeps_the_frame_window() {
    ReferencesFixture f;
    auto quick_widgets = [&f] {
        int n = 0;
        for (QWidget* w : f.mdi->findChildren<QWidget*>())
            if (w->inherits("QQuickWidget")) ++n;
        return n;
    };
    QTRY_VERIFY(f.mdi->windowHandle() && f.mdi->windowHandle()->isExposed());
    QCOMPARE(quick_widgets(), 0);
    const QRect frame = f.mdi->frameGeometry();
    const bool was_active = f.mdi->isActiveWindow();
    SaveWebPage* e = open_new(f);
    QSignalSpy loaded(e->WebBrowser1, &QWebEngineView::loadFinished);
    QVERIFY(loaded.wait(30000));
    QVERIFY(quick_widgets() > 0);
    QTRY_VERIFY(f.mdi->windowHandle()->isExposed());
    QTest::qWait(300);
    QCOMPARE(f.mdi->frameGeometry(), frame);
    if (!was_active) return;
    // The editor's first field has the keyboard, and shows it.
    QTRY_VERIFY(f.mdi->isActiveWindow());
    QVERIFY(e->security_name->hasFocus());
    QTRY_COMPARE(e->security_name->palette().color(QPalette::Base), QColor(255, 255, 0));
}

void TestSaveWebPage::capture_end_to_end_and_reopen() {
    LoopbackHttp server;
    const QByteArray page =
        "<html><head><title>Article</title></head><body><h1>News</h1><img src=\"/img/logo.gif\"><p>Caf\xc3\xa9 "
        "\xe2\x82\xac 5</p><img src=\"/img/logo.gif\"><img src=\"/img/photo.jpg\"><img src=\"/img/chart.png\">"
        "<script>var n = 1;</script><object data=\"x\"></object><input type=\"image\" src=\"/img/logo.gif\">"
        "<SCRIPT>var m = 2;</SCRIPT></body></html>";
    server.route("/article.htm", page, "text/html; charset=utf-8");
    server.route("/img/logo.gif", kGif, "image/gif");
    server.route("/img/photo.jpg", kJpg, "image/jpeg");
    server.route("/img/chart.png", png_picture(), "image/png");
    ReferencesFixture f;
    QtHttpTransport real;
    f.fx.http.pass_to = &real;
    SaveWebPage* e = open_new(f);
    QVERIFY(e->isVisible());
    QCOMPARE(f.core().current_screen, int(screen_new_web_page));
    QCOMPARE(e->Web_address->text(), e->link_placeholder);
    QVERIFY(e->Web_address->font().italic());
    QVERIFY(!e->is_modified());
    f.type(e->security_name, "Acme Corp");
    QTest::keyClick(e->security_name, Qt::Key_Return);
    QVERIFY(e->security_price->hasFocus());
    QVERIFY(go_to(e, server.url("/article.htm")));
    QTRY_COMPARE(e->Web_address->text(), server.url("/article.htm"));
    QVERIFY(!e->Web_address->font().italic());
    QVERIFY(e->Your_reference_name->hasFocus());
    QTest::keyClicks(e->Your_reference_name, "Q3: article?");
    // While the page is kept, the note about it stands centred over the frame.
    f.mdi->move(3, 20);
    QStringList notes;
    f.fx.http.during_get = [&](const QUrl&) {
        QWidget* wait = f.shell->loaded_window("UserUpdate");
        const QPoint off = wait->frameGeometry().center() - f.mdi->frameGeometry().center();
        const bool centred = std::abs(off.x()) <= 1 && std::abs(off.y()) <= 1;
        notes << QStringLiteral("%1 %2 %3")
                     .arg(wait->isVisible() ? QStringLiteral("shown") : QStringLiteral("hidden"),
                          wait->findChild<QLabel*>("Label1")->text(),
                          centred ? QStringLiteral("over the frame") : QStringLiteral("off by %1,%2").arg(off.x()).arg(off.y()));
    };
    f.save();
    f.fx.http.during_get = nullptr;
    QCOMPARE(notes.size(), 3);  // the GIF, the JPEG and the PNG
    for (const QString& note : notes) QCOMPARE(note, QStringLiteral("shown Please Wait. Web Page being Saved. over the frame"));

    Core& c = f.core();
    const QString folder = f.fx.path("Acme Corp/");
    const QString page_path = folder + "Q3  article.htm";
    QCOMPARE(c.current_screen, int(screen_edit_web_page));
    QCOMPARE(c.current_entry.mode, int(mode_edit));
    QVERIFY(!e->is_modified());
    QVERIFY(!e->is_saving());
    QCOMPARE(e->Web_address->text(), page_path);
    QVERIFY(e->Web_address->isReadOnly());
    // Each picture once through the program's transport.
    QStringList asked;
    for (const QUrl& u : f.fx.http.requests) asked << u.path();
    QCOMPARE(asked, QStringList({"/img/logo.gif", "/img/photo.jpg", "/img/chart.png"}));
    QCOMPARE(read_file(folder + "logo.gif"), kGif);
    QCOMPARE(read_file(folder + "photo.jpg"), kJpg);
    QCOMPARE(read_file(folder + "chart.png"), png_picture());
    auto local = [&](const char* name) { return QString::fromLatin1(name); };
    const QString expected = "<head><title>Article</title></head><body><h1>News</h1><img src=\"" + local("logo.gif") +
                             "\"><p>Caf&#233; &#8364; 5</p><img src=\"" + local("logo.gif") + "\"><img src=\"" +
                             local("photo.jpg") + "\"><img src=\"" + local("chart.png") + "\"><input type=\"image\" src=\"" +
                             local("logo.gif") + "\"></body>\r\n";
    QCOMPARE(QString::fromLatin1(read_file(page_path)), expected);
    const SummaryEntry& s = c.SummaryData[c.current_entry.index];
    QCOMPARE(s.transaction, QString("Web Page"));
    QCOMPARE(s.web.present, kTrue);
    QCOMPARE(s.web.address, page_path);
    QCOMPARE(s.web.reference_name, QString("Q3  article"));
    QCOMPARE(s.security, QString("Acme Corp"));
    QCOMPARE(f.fx.messages.box_texts(), QStringList());

    // After a fresh load the record reads back exactly: writing it again changes no byte.
    const QByteArray stored = read_file(f.fx.path("entries.dat"));
    f.restart();
    Core& r = f.core();
    const int32_t index = f.last_live_entry();
    QVERIFY(index >= 0);
    SaveWebPage* back = f.window<SaveWebPage>("SaveWebPage");
    QSignalSpy loaded(back->WebBrowser1, &QWebEngineView::loadFinished);
    f.open_entry(index);
    QCOMPARE(r.current_screen, int(screen_edit_web_page));
    QVERIFY(loaded.wait(30000));
    QCOMPARE(back->WebBrowser1->url(), QUrl::fromLocalFile(page_path));
    QVERIFY(back->Web_address->isReadOnly());
    QCOMPARE(back->Your_reference_name->text(), QString("Q3  article"));
    QVERIFY(r.save_entry());
    QCOMPARE(read_file(f.fx.path("entries.dat")), stored);

    // A changed reference name is stored; the saved file keeps its name and place.
    back->Your_reference_name->setFocus();
    QTest::keyClicks(back->Your_reference_name, " v2");
    f.save();
    QCOMPARE(r.SummaryData[index].web.reference_name, QString("Q3  article v2"));
    QCOMPARE(r.SummaryData[index].web.address, page_path);
    QVERIFY(QFile::exists(page_path));
}

// A page that declares UTF-8, with letters beyond ASCII in its title, text, attributes and
// style sheet, shows the same text when its saved copy is opened after a restart.
void TestSaveWebPage::saved_page_reads_as_the_live_page() {
    LoopbackHttp server;
    const QString page = QStringLiteral(
        "<!DOCTYPE html><html><head><meta charset=\"UTF-8\"><title>B\u00f6rse f\u00fcr Sie</title>"
        "<style>.gr\u00f6\u00dfe { color: rgb(1, 2, 3) } #t::after { content: \" \u20ac \U0001F600\" }</style></head>"
        "<body><h1>B\u00f6rsenkurse f\u00fcr Sie</h1><p id=\"t\" title=\"f\u00fcr Sie \u20ac\">8,294 \u20ac \U0001F600 "
        "\u201eso\u201c</p><p class=\"gr\u00f6\u00dfe\">Gr\u00f6\u00dfe</p></body></html>");
    server.route("/kurse.htm", page.toUtf8(), "text/html; charset=utf-8");
    const QString shown = QStringLiteral(
        "[document.title, document.querySelector('h1').textContent, document.getElementById('t').textContent,"
        " document.getElementById('t').title, getComputedStyle(document.getElementById('t'), '::after').content,"
        " (document.querySelector('.gr\u00f6\u00dfe') ? getComputedStyle(document.querySelector('.gr\u00f6\u00dfe')).color"
        " : 'no such class')]");
    ReferencesFixture f;
    SaveWebPage* e = open_new(f);
    f.type(e->security_name, "Acme");
    QVERIFY(go_to(e, server.url("/kurse.htm")));
    const QStringList live = evaluate(e->WebBrowser1, shown).toStringList();
    QCOMPARE(live, QStringList({QStringLiteral("B\u00f6rse f\u00fcr Sie"), QStringLiteral("B\u00f6rsenkurse f\u00fcr Sie"),
                                QStringLiteral("8,294 \u20ac \U0001F600 \u201eso\u201c"), QStringLiteral("f\u00fcr Sie \u20ac"),
                                QStringLiteral("\" \u20ac \U0001F600\""), QStringLiteral("rgb(1, 2, 3)")}));
    e->Your_reference_name->setText("kurse");
    f.save();
    QCOMPARE(f.core().current_screen, int(screen_edit_web_page));
    const QByteArray file = read_file(f.fx.path("Acme/kurse.htm"));
    QVERIFY(file.contains("<meta charset=\"UTF-8\">"));

    f.restart();
    SaveWebPage* back = f.window<SaveWebPage>("SaveWebPage");
    QSignalSpy loaded(back->WebBrowser1, &QWebEngineView::loadFinished);
    f.open_entry(f.last_live_entry());
    QVERIFY(loaded.wait(30000));
    QCOMPARE(back->WebBrowser1->url(), QUrl::fromLocalFile(f.fx.path("Acme/kurse.htm")));
    QCOMPARE(evaluate(back->WebBrowser1, shown).toStringList(), live);

    // A page kept earlier in the Windows code page, without a charset, reads as it did.
    write_file(f.fx.path("Acme/older.htm"), "<head><title>B\xf6rse</title></head><body>f\xfcr Sie 8,294 \x80</body>\r\n");
    QSignalSpy older(back->WebBrowser1, &QWebEngineView::loadFinished);
    back->WebBrowser1->setUrl(QUrl::fromLocalFile(f.fx.path("Acme/older.htm")));
    QVERIFY(older.wait(30000));
    QCOMPARE(evaluate(back->WebBrowser1, "[document.title, document.body.textContent]").toStringList(),
             QStringList({QStringLiteral("B\u00f6rse"), QStringLiteral("f\u00fcr Sie 8,294 \u20ac\n")}));
}

// PNG, WebP and SVG pictures are kept with GIF ones and drawn from their files after a
// restart; a picture that could not be had keeps its address on the page, one held in the
// page itself keeps showing, and one without an address gets none.
void TestSaveWebPage::saved_pictures_show_after_a_restart() {
    LoopbackHttp server;
    const QByteArray inline_gif = "data:image/gif;base64," + kGif.toBase64();
    server.route("/pics.htm", "<html><head><title>Pictures</title></head><body><img src=\"/i/a.png\"><img src=\"/i/b.webp\">"
                              "<img src=\"/i/c.svg\"><img src=\"/i/d.gif\"><img src=\"/i/gone.png\"><img src=\"" +
                                  inline_gif + "\"><img alt=\"no address\"></body></html>");
    server.route("/i/a.png", png_picture(), "image/png");
    server.route("/i/b.webp", kWebp, "image/webp");
    server.route("/i/c.svg", kSvg, "image/svg+xml");
    server.route("/i/d.gif", kGif, "image/gif");
    server.route("/i/gone.png", LoopbackHttp::Reply{404, "text/html", "<html>Not Found</html>", false});
    ReferencesFixture f;
    QtHttpTransport real;
    f.fx.http.pass_to = &real;
    SaveWebPage* e = open_new(f);
    f.type(e->security_name, "Acme");
    QVERIFY(go_to(e, server.url("/pics.htm")));
    e->Your_reference_name->setText("pics");
    f.save();
    QCOMPARE(f.core().current_screen, int(screen_edit_web_page));
    const QString folder = f.fx.path("Acme/");
    QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name), QStringList({"a.png", "b.webp", "c.svg", "d.gif", "pics.htm"}));
    QCOMPARE(read_file(folder + "a.png"), png_picture());
    QCOMPARE(read_file(folder + "b.webp"), kWebp);
    QCOMPARE(read_file(folder + "c.svg"), kSvg);
    QCOMPARE(f.fx.messages.box_texts(),
             QStringList{"Error: Unable to save image" + folder + "gone.png in the web page. Error: The picture could not be downloaded from " +
                         server.url("/i/gone.png")});

    f.restart();
    SaveWebPage* back = f.window<SaveWebPage>("SaveWebPage");
    QSignalSpy loaded(back->WebBrowser1, &QWebEngineView::loadFinished);
    f.open_entry(f.last_live_entry());
    QVERIFY(loaded.wait(30000));
    auto file = [&](const char* name) { return QString::fromLatin1(name); };
    const QStringList expected = {file("a.png") + " 3", file("b.webp") + " 1", file("c.svg") + " 5", file("d.gif") + " 1",
                                  server.url("/i/gone.png") + " 0", inline_gif + " 1", "null 0"};
    QCOMPARE(evaluate(back->WebBrowser1, "Array.from(document.images).map(i => i.getAttribute('src') + ' ' + i.naturalWidth)")
                 .toStringList(),
             expected);
}

void TestSaveWebPage::kept_page_opens_where_its_folder_is_now_data() {
    QTest::addColumn<QString>("kept");  // how the page and its entry came to be
    QTest::newRow("kept, then the program folder moved") << "moved";
    QTest::newRow("kept with file addresses before the folder moved") << "file addresses";
    QTest::newRow("kept by the Windows program") << "Windows";
}

// Pages move with their folder: the entry's record names the page where it was kept, and
// the page of that folder and name in today's program folder opens with its pictures. The
// record stays as it was.
void TestSaveWebPage::kept_page_opens_where_its_folder_is_now() {
    QFETCH(QString, kept);
    LoopbackHttp server;
    server.route("/a.htm", "<html><head><title>Article</title></head><body><img src=\"/i/a.png\"><img src=\"/i/d.gif\"></body></html>");
    server.route("/i/a.png", png_picture(), "image/png");
    server.route("/i/d.gif", kGif, "image/gif");
    ReferencesFixture f("before");
    QtHttpTransport real;
    f.fx.http.pass_to = &real;
    Core* c = &f.core();
    QString stored;
    if (kept == "moved") {
        SaveWebPage* e = open_new(f);
        f.type(e->security_name, "Acme");
        QVERIFY(go_to(e, server.url("/a.htm")));
        e->Your_reference_name->setText("page");
        f.save();
        QCOMPARE(c->current_screen, int(screen_edit_web_page));
        stored = c->current_entry.entry.web.address;
        QCOMPARE(stored, f.fx.path("before/Acme/page.htm"));
    } else {
        // A page of an older program, written where it now is, and its record.
        const bool windows = kept == "Windows";
        stored = windows ? "C:\\Program Files\\Quorbelix\\Acme\\page.htm" : f.fx.path("earlier/Acme/page.htm");
        auto picture = [&](const char* name) {
            return windows ? QString("C:\\Program Files\\Quorbelix\\Acme\\") + name
                           : QString::fromUtf8(QUrl::fromLocalFile(f.fx.path("earlier/Acme/") + name).toEncoded());
        };
        QDir().mkpath(f.fx.path("before/Acme"));
        write_file(f.fx.path("before/Acme/page.htm"), ("<head><title>Article</title></head><body><img src=\"" + picture("a.png") +
                                                       "\"><img src=\"" + picture("d.gif") + "\"></body>\r\n").toUtf8());
        write_file(f.fx.path("before/Acme/a.png"), png_picture());
        write_file(f.fx.path("before/Acme/d.gif"), kGif);
        SummaryEntry* entry = start_new_entry(*c);
        QVERIFY(entry);
        entry->transaction = "Web Page";
        entry->security = "Acme";
        entry->web.present = kTrue;
        entry->web.address = stored;
        entry->web.reference_name = "page";
        QVERIFY(c->save_entry());
    }
    const QByteArray records = read_file(f.fx.path("before/entries.dat"));

    // The program starts again from the folder's new place.
    f.shell.reset();
    f.fx.core.reset();
    QVERIFY(QDir().rename(f.fx.path("before"), f.fx.path("after")));
    f.fx.core = std::make_unique<Core>(f.fx.path("after"), f.fx.platform());
    f.fx.start();
    f.open_shell();
    c = &f.core();
    SaveWebPage* back = f.window<SaveWebPage>("SaveWebPage");
    QSignalSpy loaded(back->WebBrowser1, &QWebEngineView::loadFinished);
    f.open_entry(f.last_live_entry());
    QVERIFY(loaded.wait(30000));
    QVERIFY(loaded.last().value(0).toBool());
    QCOMPARE(back->WebBrowser1->url(), QUrl::fromLocalFile(f.fx.path("after/Acme/page.htm")));
    QCOMPARE(evaluate(back->WebBrowser1, "document.title").toString(), QString("Article"));
    // (The engine reads a picture named by a Windows path as an address of a scheme "c:".)
    if (kept != "Windows")
        QTRY_COMPARE(evaluate(back->WebBrowser1, "Array.from(document.images).map(i => i.naturalWidth).join(' ')")
                         .toString(),
                     QString("3 1"));
    QCOMPARE(c->SummaryData[c->current_entry.index].web.address, stored);
    QVERIFY(c->save_entry());
    QCOMPARE(read_file(f.fx.path("after/entries.dat")), records);
    QCOMPARE(f.fx.messages.box_texts(), QStringList());
}

void TestSaveWebPage::kept_page_runs_no_script_and_reads_no_local_file_data() {
    QTest::addColumn<bool>("captured");
    QTest::newRow("kept by a capture") << true;
    QTest::newRow("copied into the folder as it is") << false;
}

// A kept page was written by a web site. Reopened from disk after a restart, it runs none
// of its scripts (script blocks, event handlers, javascript: addresses, frames) and shows
// no local file but its own picture. Live, the same page runs them all and reads no local
// file.
void TestSaveWebPage::kept_page_runs_no_script_and_reads_no_local_file() {
    QFETCH(bool, captured);
    LoopbackHttp server;
    const QByteArray page = hostile_page(server);
    server.route("/hostile.htm", page);
    server.route("/logo.gif", kGif, "image/gif");
    server.route("/frame.htm", "<html><body><script>new Image().src = '/ran?remote-frame';</script></body></html>");
    ReferencesFixture f;
    QtHttpTransport real;
    f.fx.http.pass_to = &real;
    write_file(f.fx.path("secret.txt"), "SECRET-MARK");
    write_file(f.fx.path("secret.css"), "body { color: rgb(1, 2, 3) }");
    SaveWebPage* e = open_new(f);
    f.type(e->security_name, "Acme");
    if (captured) {
        QVERIFY(go_to(e, server.url("/hostile.htm")));
        evaluate(e->WebBrowser1, "document.getElementById('go').click()");
        for (const QString& name : kHostileScripts) {
            const QString report = name == "remote-frame" ? name : name + "-http:";
            QTRY_VERIFY2(ran(server).contains(report), qPrintable(report));
        }
        // The remote frame marks only its own document; the script block marks as well.
        QCOMPARE(evaluate(e->WebBrowser1, kMarks).toStringList().size(), kHostileScripts.size());
        QTest::qWait(300);
        QCOMPARE(ran(server).filter("read-"), QStringList());
        QCOMPARE(evaluate(e->WebBrowser1, kLocalReads).toStringList(), QStringList());
        e->Your_reference_name->setFocus();
        QTest::keyClicks(e->Your_reference_name, "hostile");
    } else {
        QDir().mkpath(f.fx.path("Acme"));
        write_file(f.fx.path("Acme/copied.htm"), page);
        write_file(f.fx.path("Acme/logo.gif"), kGif);
        bool ok = false;
        QVERIFY(go_to(e, QUrl::fromLocalFile(f.fx.path("Acme/copied.htm")).toString(), &ok));
        QVERIFY(ok);
        e->Your_reference_name->setText("as it came");
    }
    f.save();
    QCOMPARE(f.core().current_screen, int(screen_edit_web_page));

    f.restart();
    server.requests.clear();
    SaveWebPage* back = f.window<SaveWebPage>("SaveWebPage");
    QSignalSpy loaded(back->WebBrowser1, &QWebEngineView::loadFinished);
    f.open_entry(f.last_live_entry());
    QVERIFY(loaded.wait(30000));
    const QString kept = f.fx.path(captured ? "Acme/hostile.htm" : "Acme/copied.htm");
    QCOMPARE(back->WebBrowser1->url(), QUrl::fromLocalFile(kept));
    // Its own picture shows; then its scripts have had their time. (A page from disk
    // reaches no remote address, as before: its reports could only be its marks.)
    QTRY_COMPARE(evaluate(back->WebBrowser1, "document.getElementById('own').naturalWidth").toInt(), 1);
    evaluate(back->WebBrowser1, "document.getElementById('go').click()");
    QTest::qWait(1000);
    // The live page's reports name http; one may come late (its pictures were pointed at
    // their files as it was kept, and one failed once more).
    QStringList reports;
    for (const QString& r : ran(server))
        if (!r.endsWith("-http:")) reports << r;
    const QStringList scripts_run = reports + evaluate(back->WebBrowser1, kMarks).toStringList();
    const QStringList local_reads = scripts_run.filter("read-") + evaluate(back->WebBrowser1, kLocalReads).toStringList();
    qInfo("scripts run in the reopened page: %d, local files it read: %d", int(scripts_run.size()), int(local_reads.size()));
    QCOMPARE(scripts_run, QStringList());
    QCOMPARE(local_reads, QStringList());
    QCOMPARE(back->WebBrowser1->url(), QUrl::fromLocalFile(kept));
    QCOMPARE(evaluate(back->WebBrowser1, "document.title").toString(), QString("Hostile"));
}

void TestSaveWebPage::checks_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("message");  // "" when stored
    QTest::addColumn<QString>("page");     // where the page went, below the program folder
    QTest::newRow("empty name") << "" << "r" << "" << "No Name Given/r.htm";
    QTest::newRow("blank name") << "   " << "r" << "Security Name must be filled in. " << "";
    QTest::newRow("reference of 100") << "Acme" << QString(100, u'r') << "" << "Acme/" + QString(100, u'r') + ".htm";
    QTest::newRow("reference of 101") << "Acme" << QString(101, u'r') << "Your Reference Name is too long" << "";
    QTest::newRow("no reference") << "Acme" << "" << "Reference Name must be filled in. " << "";
    QTest::newRow("taken reference") << "Acme" << "taken"
                                     << "Invalid Reference name. Must be unique (can't use same name twice)" << "";
    QTest::newRow("same reference, other security") << "Bolt" << "taken" << "" << "Bolt/taken.htm";
    QTest::newRow("colon in the name") << "Ac:me" << "r" << "" << "Ac me/r.htm";
    QTest::newRow("dot dot") << ".." << "r" << "" << "WebData/r.htm";
    QTest::newRow("dot") << "." << "r" << "" << "WebData/r.htm";
    QTest::newRow("existing empty folder") << "Empty" << "r" << "" << "Empty/r.htm";
}

void TestSaveWebPage::checks() {
    QFETCH(QString, name);
    QFETCH(QString, reference);
    QFETCH(QString, message);
    QFETCH(QString, page);
    ReferencesFixture f;
    QDir().mkpath(f.fx.path("Acme"));
    write_file(f.fx.path("Acme/taken.htm"), "an earlier page");
    QDir().mkpath(f.fx.path("Empty"));
    SaveWebPage* e = open_new(f);
    QSignalSpy loaded(e->WebBrowser1, &QWebEngineView::loadFinished);
    QVERIFY(loaded.wait(30000));
    e->security_name->setText(name);
    e->Your_reference_name->setText(reference);
    f.fx.messages.answers.enqueue(kAnswerYes);
    f.save();
    if (message.isEmpty()) {
        QCOMPARE(f.fx.messages.questions.size(), 0);
        QCOMPARE(f.core().current_screen, int(screen_edit_web_page));
        QCOMPARE(f.core().current_entry.entry.web.address, f.fx.path(page));
        QVERIFY(QFile::exists(f.fx.path(page)));
        if (name.isEmpty()) QCOMPARE(f.core().current_entry.entry.security, QString("No Name Given"));
    } else {
        QCOMPARE(f.fx.messages.questions.size(), 1);
        QCOMPARE(f.fx.messages.questions[0].second,
                 "Entry not Valid. Data NOT Saved. " + message + "\r\nWould you like to Correct this data?");
        QCOMPARE(f.core().current_screen, int(screen_new_web_page));
        QCOMPARE(f.entries_records(), 0);
    }
    // Nothing lands beside or above the program folder.
    QVERIFY(!QFile::exists(f.fx.path("r.htm")));
    QVERIFY(!QFile::exists(f.fx.path("../r.htm")));
}

void TestSaveWebPage::long_page_path_is_refused() {
    // The path written (page folder, name, ".htm") must fit the record's 200 letters.
    const QString deep = QString(60, u'p');
    ReferencesFixture f(deep);
    SaveWebPage* e = open_new(f);
    QSignalSpy loaded(e->WebBrowser1, &QWebEngineView::loadFinished);
    QVERIFY(loaded.wait(30000));
    const int fixed = int(f.core().program_folder().size()) + 1 + 30 + 1 + 4;
    e->security_name->setText(QString(30, u'N'));
    e->Your_reference_name->setText(QString(201 - fixed, u'r'));
    f.fx.messages.answers.enqueue(kAnswerYes);
    f.save();
    QCOMPARE(f.fx.messages.questions.size(), 1);
    QVERIFY(f.fx.messages.questions[0].second.contains(
        "Web Address + Reference Name is too long. Decrease size of Refererence Name"));
    e->Your_reference_name->setText(QString(200 - fixed, u'r'));
    f.save();
    QCOMPARE(f.core().current_screen, int(screen_edit_web_page));
    QCOMPARE(f.core().current_entry.entry.web.address.size(), 200);
}

void TestSaveWebPage::unloadable_page_asks_to_store_without_it_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("yes stores the entry") << int(kAnswerYes);
    QTest::newRow("no stays on the editor") << int(kAnswerNo);
}

void TestSaveWebPage::unloadable_page_asks_to_store_without_it() {
    QFETCH(int, answer);
    ReferencesFixture f;
    SaveWebPage* e = open_new(f);
    f.type(e->security_name, "Acme");
    bool ok = true;
    const QString address = QStringLiteral("http://127.0.0.1:%1/gone.htm").arg(LoopbackHttp::closed_port());
    QVERIFY(go_to(e, address, &ok));
    QVERIFY(!ok);
    e->Your_reference_name->setText("gone");
    f.fx.messages.answers.enqueue(answer);
    f.save();
    QCOMPARE(f.fx.messages.boxes.size(), 1);
    QVERIFY(f.fx.messages.box_texts()[0].startsWith("Error: Unable to save Web Page:"));
    QVERIFY(f.fx.messages.box_texts()[0].contains("The page could not be loaded"));
    QCOMPARE(f.fx.messages.questions.size(), 1);
    QCOMPARE(f.fx.messages.questions[0].second,
             QString("Web Page could not be loaded, so it was NOT Saved to your PC.\r\n"
                     "Would you like to save this entry without the Web Page?"));
    QVERIFY(!e->is_saving());
    // Neither answer keeps a page: the pane shows the engine's error page, not the article.
    QCOMPARE(QDir(f.fx.path("Acme")).entryList(QDir::Files), QStringList());
    Core& c = f.core();
    if (answer == kAnswerYes) {
        QCOMPARE(c.current_screen, int(screen_edit_web_page));
        QVERIFY(!e->is_modified());
        const SummaryEntry& s = c.SummaryData[c.current_entry.index];
        QCOMPARE(s.transaction, QString("Web Page"));
        QCOMPARE(s.security, QString("Acme"));
        QCOMPARE(s.web.present, kTrue);
        QCOMPARE(s.web.address, address);
        QCOMPARE(s.web.reference_name, QString("gone"));
        QCOMPARE(f.entries_records(), 2);
        f.press(button_summary);
        QCOMPARE(c.current_screen, int(screen_summary));
        QCOMPARE(f.fx.messages.questions.size(), 1);
    } else {
        QCOMPARE(c.current_screen, int(screen_new_web_page));
        QVERIFY(e->is_modified());
        QVERIFY(e->isVisible());
        QCOMPARE(f.entries_records(), 0);
    }
}

void TestSaveWebPage::cancel_during_capture_stores_nothing() {
    LoopbackHttp server;
    server.route("/p.htm", "<html><head><title>P</title></head><body><img src=\"/a.gif\"><img src=\"/b.gif\"></body></html>");
    ReferencesFixture f;
    f.fx.http.by_url.insert(server.url("/a.gif"), kGif);
    f.fx.http.by_url.insert(server.url("/b.gif"), kGif);
    SaveWebPage* e = open_new(f);
    f.type(e->security_name, "Acme");
    QVERIFY(go_to(e, server.url("/p.htm")));
    e->Your_reference_name->setText("p");
    int during = 0;
    f.fx.http.during_get = [&](const QUrl&) {
        if (during++ > 0) return;
        // While the capture runs no other screen opens and no article is handed over.
        f.press(button_checklists);
        QCOMPARE(f.core().current_screen, int(screen_new_web_page));
        bool allowed = true;
        e->new_save_allowed(allowed);
        QVERIFY(!allowed);
        f.cancel();
    };
    f.save();
    QCOMPARE(f.fx.http.requests.size(), 1);
    QVERIFY(QFile::exists(f.fx.path("Acme/a.gif")));
    QVERIFY(!QFile::exists(f.fx.path("Acme/b.gif")));
    QVERIFY(!QFile::exists(f.fx.path("Acme/p.htm")));
    QCOMPARE(f.entries_records(), 0);
    QCOMPARE(f.core().current_screen, int(screen_summary));
    QVERIFY(!e->is_saving());
    QVERIFY(!e->isVisible());
}

void TestSaveWebPage::news_hand_off_names() {
    ReferencesFixture f;
    QDir().mkpath(f.fx.path("Acme"));
    write_file(f.fx.path("Acme/Earnings  up down.htm"), "1");
    write_file(f.fx.path("Acme/1-Earnings  up down.htm"), "2");
    SaveWebPage* e = open_new(f);
    QString name = " Acme ", symbol = "ACME", price = "$12.50", address = "about:blank",
            title = "Earnings: up/down?";
    e->got_data_from_news(name, symbol, price, address, title);
    QCOMPARE(title, QString("2-Earnings  up down"));
    QCOMPARE(e->Your_reference_name->text(), title);
    QCOMPARE(e->security_name->text(), QString("Acme"));
    QCOMPARE(e->security_price->text(), QString("12.50"));
    QCOMPARE(e->symbol_textbox->text(), QString("ACME"));
    QVERIFY(e->is_modified());

    // The longest title kept whole, and one letter more.
    QString forty = QString(39, u't') + u'z', forty_one = QString(40, u'u') + u'z';
    e->got_data_from_news(name, symbol, price, address, forty);
    QCOMPARE(forty, QString(39, u't') + u'z');
    e->got_data_from_news(name, symbol, price, address, forty_one);
    QCOMPARE(forty_one, QString(40, u'u'));

    // A long title with every unfit character, and a name that cannot be a folder.
    QString dots = "..", long_title = QString("A/B\\C:D*E?F\"G<H>I|J\tK\n") + QString(300, u'x');
    e->got_data_from_news(dots, symbol, price, address, long_title);
    QCOMPARE(long_title, QString("A B C D E F\"G H I J K ") + QString(18, u'x'));
    QDir().mkpath(f.fx.path("WebData"));
    write_file(f.fx.path("WebData/") + long_title + ".htm", "x");
    QString again = QString("A/B\\C:D*E?F\"G<H>I|J\tK\n") + QString(300, u'x');
    e->got_data_from_news(dots, symbol, price, address, again);
    QCOMPARE(again, "1-" + long_title);
}

void TestSaveWebPage::local_file_stored_as_typed() {
    ReferencesFixture f;
    write_file(f.fx.path("mine.htm"), "<html><body>mine</body></html>");
    SaveWebPage* e = open_new(f);
    f.type(e->security_name, "Acme");
    const QString address = QUrl::fromLocalFile(f.fx.path("mine.htm")).toString();
    QVERIFY(go_to(e, address));
    e->Your_reference_name->setText("mine");
    f.save();
    QCOMPARE(f.core().current_screen, int(screen_edit_web_page));
    QCOMPARE(f.core().current_entry.entry.web.address, address);
    QVERIFY(!QFile::exists(f.fx.path("Acme/mine.htm")));
    QCOMPARE(read_file(f.fx.path("mine.htm")), QByteArray("<html><body>mine</body></html>"));
}

void TestSaveWebPage::failed_save_keeps_the_page_for_a_retry() {
    ReferencesFixture f;
    // VarData.dat cannot be opened while a folder holds its name.
    QFile::remove(f.fx.path("VarData.dat"));
    QVERIFY(QDir(f.fx.dir.path()).mkdir("VarData.dat"));
    SaveWebPage* e = open_new(f);
    QSignalSpy loaded(e->WebBrowser1, &QWebEngineView::loadFinished);
    QVERIFY(loaded.wait(30000));
    f.type(e->security_name, "Acme");
    e->Your_reference_name->setText("kept");
    f.save();
    Core& c = f.core();
    QVERIFY(f.fx.messages.box_texts().value(0).startsWith("Error: "));
    QCOMPARE(c.current_screen, int(screen_new_web_page));
    QVERIFY(e->is_modified());
    QCOMPARE(f.entries_records(), 0);
    QVERIFY(QFile::exists(f.fx.path("Acme/kept.htm")));
    f.press(button_summary);
    QVERIFY(e->isVisible());

    // Once the file can be written, the page already kept is the entry's, not a rival name.
    QVERIFY(QDir(f.fx.dir.path()).rmdir("VarData.dat"));
    f.fx.messages.boxes.clear();
    f.save();
    QCOMPARE(f.fx.messages.questions.size(), 0);
    QCOMPARE(c.current_screen, int(screen_edit_web_page));
    QCOMPARE(c.current_entry.entry.web.address, f.fx.path("Acme/kept.htm"));
    QCOMPARE(f.entries_records(), 2);
}

QB_WEBENGINE_TEST_MAIN(TestSaveWebPage)
#include "tst_savewebpage.moc"
