// The stock-idea screen with a real browser pane on local pages: the copy is kept after
// a complete page of the report's size, offered for a small page or a failed load, and
// left alone when the screen was left or the page never comes.
#include "journal/title.h"
#include "market/market_windows.h"
#include "market/viewweb.h"
#include "shell/command.h"
#include "shell/mdimain.h"
#include "shell/shell.h"
#include "core/service_hosts.h"
#include "platform/qt_platform.h"
#include "support/fakes.h"
#include "support/loopback_http.h"
#include "support/page_world.h"
#include "support/webengine_test_main.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QToolButton>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <QtTest>

using namespace qb;
using namespace qb::test;

namespace {

const QString kOffer = QStringLiteral("Stock of Month Web Site unavailable (check that your internet connection is "
                                      "working)\r\nWould you like to view the last viewed Stock of Month?");

struct ViewFixture {
    ViewFixture() {
        fx.start();
        shell = std::make_unique<Shell>(*fx.core);
        register_journal_windows(*shell);
        register_market_windows(*shell);
        shell->end_program = [] {};
        mdi = shell->mdi();
        mdi->show();
        shell->command()->show();
        view = shell->window_as<viewweb>(QStringLiteral("viewweb"));
        fx.messages.boxes.clear();
    }
    ~ViewFixture() { shell.reset(); }
    // A page whose document holds exactly n elements (html, head and body among them).
    static QByteArray page_text(int n) {
        QString body;
        for (int i = 0; i < n - 3; ++i) body += QStringLiteral("<p>idea %1</p>").arg(i);
        return ("<html><head></head><body>" + body + "</body></html>").toUtf8();
    }
    QUrl page(int n) {
        const QString path = fx.path(QStringLiteral("page%1.htm").arg(n));
        write_file(path, page_text(n));
        return QUrl::fromLocalFile(path);
    }
    QString copy() const { return view->saved_copy_path(); }
    void keep_a_copy(const QByteArray& text = "<head></head><body>kept idea</body>") {
        QDir().mkpath(QFileInfo(copy()).absolutePath());
        write_file(copy(), text);
    }
    // Opens the screen as the command bar does and waits until the page was judged.
    bool open(const QUrl& address, bool wait = true) {
        view->page_address = address;
        QSignalSpy judged(view, &viewweb::page_judged);
        QTest::mouseClick(shell->command()->Image_action(button_stock_of_month), Qt::LeftButton);
        // A failed fetch is judged before the click returns.
        return !wait || !judged.isEmpty() || judged.wait(20000);
    }
    bool wait_window_shown() {
        QWidget* w = shell->loaded_window(QStringLiteral("UserUpdate"));
        return w && w->isVisible();
    }

    CoreFixture fx;
    std::unique_ptr<Shell> shell;
    MDIMain* mdi = nullptr;
    viewweb* view = nullptr;
};

} // namespace

class TstViewweb : public QObject {
    Q_OBJECT

private slots:
    void a_page_of_the_report_size_is_kept_data() {
        QTest::addColumn<bool>("from_the_web");
        QTest::newRow("on disk") << false;
        QTest::newRow("from the web") << true;
    }
    void a_page_of_the_report_size_is_kept() {
        QFETCH(bool, from_the_web);
        ViewFixture f;
        LoopbackHttp server;
        QtHttpTransport http;
        server.route("/idea.htm", ViewFixture::page_text(60));
        f.fx.http.pass_to = &http;
        QVERIFY(f.open(from_the_web ? QUrl(server.url("/idea.htm")) : f.page(60)));
        QCOMPARE(server.count("/idea.htm"), from_the_web ? 1 : 0);
        QCOMPARE(f.fx.core->current_screen, int(screen_stock_of_month));
        QVERIFY(f.view->isVisible());
        QCOMPARE(f.view->Label1->text(), QStringLiteral("Stock Idea Window: (Please ensure you are connected to the Internet)"));
        QVERIFY(!f.wait_window_shown());
        QVERIFY(f.fx.messages.questions.isEmpty());
        QVERIFY(f.fx.messages.boxes.isEmpty());
        // The markup inside the page's outer element, marked as UTF-8 for the later reading.
        const QByteArray kept = read_file(f.copy());
        QVERIFY(kept.contains("<p>idea 56</p>"));
        QVERIFY(kept.startsWith("\xEF\xBB\xBF<head>"));
        QVERIFY(kept.endsWith("</body>\r\n"));
    }

    void a_small_page_offers_the_copy_data() {
        QTest::addColumn<bool>("copy_kept");
        QTest::addColumn<int>("answer");
        QTest::newRow("no copy: no question") << false << int(kAnswerNo);
        QTest::newRow("copy, No") << true << int(kAnswerNo);
        QTest::newRow("copy, Yes") << true << int(kAnswerYes);
    }
    void a_small_page_offers_the_copy() {
        QFETCH(bool, copy_kept);
        QFETCH(int, answer);
        ViewFixture f;
        if (copy_kept) f.keep_a_copy();
        f.fx.messages.answers.enqueue(answer);
        QSignalSpy loads(f.view->brwWebBrowser, &QWebEngineView::loadFinished);
        QVERIFY(f.open(f.page(59)));
        QCOMPARE(f.fx.messages.questions.size(), copy_kept ? 1 : 0);
        if (copy_kept) {
            QCOMPARE(f.fx.messages.questions[0].second, kOffer);
            QCOMPARE(f.fx.messages.styles[0], kStyleStop);
        }
        QCOMPARE(f.view->showing_saved_copy, answer == kAnswerYes);
        if (answer != kAnswerYes) {
            QCOMPARE(QFile::exists(f.copy()), copy_kept);
            return;
        }
        // The kept copy is shown; its own completion neither saves nor asks again.
        QVERIFY(loads.wait(20000) || loads.size() >= 2);
        QTRY_COMPARE(f.view->brwWebBrowser->url(), QUrl::fromLocalFile(f.copy()));
        QTest::qWait(300);
        QCOMPARE(f.fx.messages.questions.size(), 1);
        QCOMPARE(read_file(f.copy()), QByteArray("<head></head><body>kept idea</body>"));
    }

    void a_failed_load_says_so_and_keeps_the_copy() {
        ViewFixture f;
        f.keep_a_copy();
        QVERIFY(f.open(QUrl::fromLocalFile(f.fx.path("no such page.htm"))));
        QCOMPARE(f.fx.messages.box_texts(),
                 QStringList{"Error: Error Downloading Stock Idea...make sure you are connected to the internet"});
        QVERIFY(!f.wait_window_shown());
        QCOMPARE(f.fx.messages.questions.size(), 1);
        QCOMPARE(f.fx.messages.questions[0].second, kOffer);
        QCOMPARE(read_file(f.copy()), QByteArray("<head></head><body>kept idea</body>"));
    }

    void leaving_before_the_page_completes() {
        ViewFixture f;
        f.keep_a_copy();
        QSignalSpy loads(f.view->brwWebBrowser, &QWebEngineView::loadFinished);
        QVERIFY(f.open(f.page(80), false));
        QTest::mouseClick(f.shell->command()->Image_action(button_summary), Qt::LeftButton);
        QCOMPARE(f.fx.core->current_screen, int(screen_summary));
        QVERIFY(loads.wait(20000));
        QTest::qWait(300);
        QVERIFY(f.fx.messages.questions.isEmpty());
        QCOMPARE(read_file(f.copy()), QByteArray("<head></head><body>kept idea</body>"));
    }

    // The copy keeps the live page's scripts. Live they run and read no local file; shown
    // from disk, none runs.
    void the_kept_copy_runs_no_script() {
        ViewFixture f;
        LoopbackHttp server;
        QtHttpTransport http;
        f.fx.http.pass_to = &http;
        auto act = [&](const QString& name) {
            return "new Image().src = '" + server.url("/ran?") + name +
                   "-' + location.protocol; document.documentElement.setAttribute('data-ran', location.protocol)";
        };
        auto read = [](const QString& address) {
            return "fetch('" + address + "').then(r => r.ok ? r.text() : Promise.reject())"
                   ".then(t => document.documentElement.setAttribute('data-read', t.length));";
        };
        QString page = "<html><head><script>" + act("script") + "</script></head><body onload=\"" + act("onload") + "\">";
        for (int i = 0; i < 60; ++i) page += QStringLiteral("<p>idea %1</p>").arg(i);
        page += "<img src=\"missing.gif\" onerror=\"" + act("onerror") + "\"><script>" + read("../entries.dat") +
                read(QUrl::fromLocalFile(f.fx.path("entries.dat")).toString()) + "</script></body></html>";
        server.route("/idea.htm", page.toUtf8());
        QVERIFY(f.open(QUrl(server.url("/idea.htm"))));
        for (const char* name : {"/ran?script-http:", "/ran?onload-http:", "/ran?onerror-http:"})
            QTRY_VERIFY2(server.requests.contains(name), name);
        QCOMPARE(evaluate(f.view->brwWebBrowser, "document.documentElement.getAttribute('data-ran')").toString(), "http:");
        QTest::qWait(300);
        QVERIFY(!evaluate(f.view->brwWebBrowser, "document.documentElement.hasAttribute('data-read')").toBool());
        QVERIFY(read_file(f.copy()).contains("<script>"));

        f.fx.messages.answers.enqueue(kAnswerYes);
        QVERIFY(f.open(f.page(59)));
        QCOMPARE(f.fx.messages.questions.size(), 1);
        QTRY_COMPARE(f.view->brwWebBrowser->url(), QUrl::fromLocalFile(f.copy()));
        QTRY_COMPARE(evaluate(f.view->brwWebBrowser, "document.querySelectorAll('p').length").toInt(), 60);
        QTest::qWait(1000);
        const QStringList marks = evaluate(f.view->brwWebBrowser,
                                           "['data-ran', 'data-read'].filter(n => document.documentElement.hasAttribute(n))")
                                      .toStringList();
        QCOMPARE(marks, QStringList());
        QCOMPARE(server.requests.filter("file:"), QStringList());
    }

    // The page comes from the stock-idea host, which can be set like the other services'.
    void the_page_comes_from_the_set_host() {
        LoopbackHttp server;
        QString page = QStringLiteral("<html><head></head><body>");
        for (int i = 0; i < 60; ++i) page += QStringLiteral("<p>served idea %1</p>").arg(i);
        server.route(QStringLiteral("/stockidea/index.htm"), (page + QStringLiteral("</body></html>")).toUtf8());
        const QByteArray host = "127.0.0.1:" + QByteArray::number(server.port());
        qputenv("QUORBELIX_STOCKIDEA_HOST", host);
        ViewFixture f;
        service_hosts::read_from_environment(*f.fx.core);
        qunsetenv("QUORBELIX_STOCKIDEA_HOST");
        // Created after the start, as in the program.
        f.shell->unload(QStringLiteral("viewweb"));
        f.view = f.shell->window_as<viewweb>(QStringLiteral("viewweb"));
        QCOMPARE(f.view->page_address, QUrl("http://" + host + "/stockidea/index.htm"));
        QtHttpTransport http;
        f.fx.http.pass_to = &http;
        QVERIFY(f.open(f.view->page_address));
        QCOMPARE(server.requests.value(0), QStringLiteral("/stockidea/index.htm"));
        QVERIFY(read_file(f.copy()).contains("<p>served idea 59</p>"));
        service_hosts::read_from_environment(*f.fx.core);
        QCOMPARE(service_hosts::current().stock_idea, QString(service_hosts::kStockIdea));
    }

    // A page that never comes ends at the transport's time-out as a failed load: the
    // error is said, the wait window goes and the copy is offered.
    void a_page_that_never_comes() {
        ViewFixture f;
        f.keep_a_copy();
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        QList<QTcpSocket*> held;  // accepted and never answered
        QObject::connect(&server, &QTcpServer::newConnection, [&] {
            while (QTcpSocket* s = server.nextPendingConnection()) held << s;
        });
        QtHttpTransport http(300);
        f.fx.http.pass_to = &http;
        QVERIFY(f.open(QUrl(QStringLiteral("http://127.0.0.1:%1/idea.htm").arg(server.serverPort()))));
        QCOMPARE(held.size(), 1);
        QVERIFY(!f.wait_window_shown());
        QCOMPARE(f.fx.messages.box_texts(),
                 QStringList{"Error: Error Downloading Stock Idea...make sure you are connected to the internet"});
        QCOMPARE(f.fx.messages.questions.size(), 1);
        QCOMPARE(f.fx.messages.questions[0].second, kOffer);
        QCOMPARE(read_file(f.copy()), QByteArray("<head></head><body>kept idea</body>"));
    }
};

QB_WEBENGINE_TEST_MAIN(TstViewweb)
#include "tst_viewweb.moc"
