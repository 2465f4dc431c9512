// Times the keeping of a page: a 200 KB page with 50 pictures served from a loopback
// server and shown in a browser pane, captured to disk (the time beyond the pictures'
// download is what counts), a page of 16,000 pictures of one name from different
// addresses (answered at once, without a network), and the block removal on a 1 MB page.
// Run with QT_QPA_PLATFORM=offscreen.
#include "bench_support.h"
#include "core/core.h"
#include "platform/qt_platform.h"
#include "references/page_capture.h"
#include "references/webengine_document.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>
#include <cstdio>
#include <unistd.h>

using namespace qb;

namespace {

// Serves the page and its pictures; every path ending in .gif or .jpg gets 20 KB of a
// picture of that kind.
class Server : public QObject {
public:
    explicit Server(QByteArray page) : page_(std::move(page)) {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    const QByteArray request = s->readAll();
                    const QByteArray path = request.split(' ').value(1);
                    const bool gif = path.endsWith(".gif");
                    const QByteArray picture = (gif ? QByteArray("GIF89a") : QByteArray("\xFF\xD8\xFF\xE0"))
                                                   .leftJustified(20 * 1024, 'p');
                    const QByteArray body = path == "/page.htm" ? page_ : picture;
                    const QByteArray type = path == "/page.htm" ? "text/html" : gif ? "image/gif" : "image/jpeg";
                    s->write("HTTP/1.1 200 OK\r\nContent-Type: " + type + "\r\nContent-Length: " +
                             QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
                    s->disconnectFromHost();
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    QString url(const QString& path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path); }

private:
    QByteArray page_;
    QTcpServer server_;
};

// The program's transport, with the time spent waiting for replies counted.
class TimedTransport : public HttpTransport {
public:
    std::optional<QByteArray> get(const QUrl& url) override { return get_before(url, QDeadlineTimer(30000)); }
    std::optional<QByteArray> get_before(const QUrl& url, QDeadlineTimer deadline) override {
        QElapsedTimer t;
        t.start();
        auto r = real.get_before(url, deadline);
        waited_ns += t.nsecsElapsed();
        ++requests;
        return r;
    }
    QtHttpTransport real;
    qint64 waited_ns = 0;
    int requests = 0;
};

// Every picture at once, without a network: what is timed is the capture's own work.
class InstantPictures : public HttpTransport {
public:
    std::optional<QByteArray> get(const QUrl&) override { return QByteArray("GIF89a\x01\x00\x01\x00", 10); }
};

// A document that is only its list of pictures.
class ListedPictures : public CaptureDocument {
public:
    std::optional<QStringList> picture_sources() override { return sources; }
    bool set_picture_sources(const QStringList&) override { return true; }
    std::optional<QString> inner_html() override { return QStringLiteral("<body></body>"); }
    QStringList sources;
};

QByteArray make_page() {
    QByteArray body = "<html><head><title>Bench</title></head><body>";
    for (int i = 0; i < 50; ++i)
        body += "<p><img src=\"/pic" + QByteArray::number(i) + (i % 2 ? ".gif" : ".jpg") + "\"></p>";
    const QByteArray para = "<p>Quarterly results were in line with the guidance given last spring.</p>"
                            "<script>var counter = 0;</script>\n";
    while (body.size() < 200 * 1024) body += para;
    return body + "</body></html>";
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    bench::FixedClock clock;
    bench::QuietPresenter presenter;
    TimedTransport http;
    Platform platform;
    platform.clock = &clock;
    platform.messages = &presenter;
    platform.http = &http;
    Core core(dir.path(), platform);

    const QByteArray page = make_page();
    Server server(page);
    QWebEngineView view;
    view.resize(800, 600);
    view.show();
    QEventLoop loop;
    QObject::connect(&view, &QWebEngineView::loadFinished, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    view.setUrl(QUrl(server.url("/page.htm")));
    loop.exec();

    for (int run = 0; run < 3; ++run) {
        const QString folder = dir.path() + QStringLiteral("/run%1/").arg(run);
        QDir().mkpath(folder);
        http.waited_ns = 0;
        http.requests = 0;
        PageCapture capture(&http, folder, {});
        WebEngineDocument document(view.page());
        QString path;
        QElapsedTimer t;
        t.start();
        const auto result = capture.run(document, QStringLiteral("page"), path);
        const double total = t.nsecsElapsed() / 1e6;
        const double waited = http.waited_ns / 1e6;
        std::printf("capture %d: %.1f ms in all, %.1f ms waiting for %d pictures, %.1f ms beyond the download (%s, "
                    "%lld bytes of page)\n",
                    run, total, waited, http.requests, total - waited,
                    result == PageCapture::Result::saved ? "saved" : "not saved",
                    static_cast<long long>(QFileInfo(path).size()));
        // The next run starts from the page as served.
        QEventLoop again;
        QObject::connect(&view, &QWebEngineView::loadFinished, &again, &QEventLoop::quit);
        view.reload();
        again.exec();
    }

    for (int run = 0; run < 3; ++run) {
        const QString folder = dir.path() + QStringLiteral("/same%1/").arg(run);
        QDir().mkpath(folder);
        InstantPictures pictures;
        PageCapture capture(&pictures, folder, {});
        ListedPictures document;
        for (int i = 0; i < 16000; ++i) document.sources << QStringLiteral("http://host%1.test/logo.gif").arg(i);
        QString path;
        QElapsedTimer t;
        t.start();
        const auto result = capture.run(document, QStringLiteral("page"), path);
        std::printf("16,000 pictures named logo.gif from different addresses: %.1f ms (%s, %lld pictures kept)\n",
                    t.nsecsElapsed() / 1e6, result == PageCapture::Result::saved ? "saved" : "not saved",
                    static_cast<long long>(capture.written_pictures().size()));
    }

    QString big;
    while (big.size() < 1024 * 1024)
        big += QStringLiteral("<p>Some text of the article, line after line.</p><script>var a = 1;</script>\n");
    for (int run = 0; run < 3; ++run) {
        QString result;
        QElapsedTimer t;
        t.start();
        remove_tag_content(big, QStringLiteral("<SCRIPT"), QStringLiteral("</SCRIPT>"), result);
        std::printf("remove_tag_content on %lld KB: %.2f ms\n", static_cast<long long>(big.size() / 1024),
                    t.nsecsElapsed() / 1e6);
    }
    return 0;
}
