#pragma once
// The quotes and news windows against a server on 127.0.0.1 started by the test: the real
// transport, with the service hosts swapped for the loopback address.
#include "core/core.h"
#include "journal/title.h"
#include "market/market_windows.h"
#include "platform/qt_platform.h"
#include "shell/mdimain.h"
#include "shell/shell.h"
#include "support/fakes.h"

#include <QApplication>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrlQuery>
#include <QtTest>
#include <functional>

namespace qb::test {

inline QByteArray market_fixture(const QString& name) {
    QFile f(QStringLiteral(QB_SOURCE_DIR "/tests/market/fixtures/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QByteArray http_ok(const QByteArray& body, const QByteArray& content_type = {}) {
    return "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n" +
           (content_type.isEmpty() ? QByteArray() : "Content-Type: " + content_type + "\r\n") + "\r\n" + body;
}

// Answers each request with what `answer` gives for its target (path and query);
// an empty answer never replies, as a hanging service.
class MarketServer : public QObject {
public:
    MarketServer() {
        QVERIFY(server.listen(QHostAddress::LocalHost));
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, this, [this, s] { on_ready(s); });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    quint16 port() const { return server.serverPort(); }
    std::function<QByteArray(const QByteArray& target)> answer;
    QList<QByteArray> targets;

private:
    void on_ready(QTcpSocket* s) {
        QByteArray& buf = buffers[s];
        buf += s->readAll();
        if (!buf.contains("\r\n\r\n")) return;
        const QByteArray target = buf.split(' ').value(1);
        buf.clear();
        targets << target;
        const QByteArray reply = answer ? answer(target) : QByteArray();
        if (reply.isEmpty()) return;
        s->write(reply);
        s->disconnectFromHost();
    }
    QTcpServer server;
    QHash<QTcpSocket*, QByteArray> buffers;
};

// The program's transport, sent to the loopback server whatever host was asked for.
class HostSwapHttp : public HttpTransport {
public:
    std::optional<QByteArray> get(const QUrl& url) override { return real.get(local(url)); }
    std::optional<QByteArray> get_with_type(const QUrl& url, QByteArray& content_type) override {
        return real.get_with_type(local(url), content_type);
    }
    QUrl local(const QUrl& url) {
        requests << url;
        QUrl to = url;
        to.setHost(QStringLiteral("127.0.0.1"));
        to.setPort(port);
        return to;
    }
    QtHttpTransport real{2000};
    quint16 port = 0;
    QList<QUrl> requests;
};

// The symbols asked for in a quote request target ("...?s=IBM,MSFT&f=...").
inline QStringList asked_symbols(const QByteArray& target) {
    const QUrlQuery q(QUrl(QString::fromLatin1(target)));
    return q.queryItemValue(QStringLiteral("s"), QUrl::FullyDecoded).split(u',', Qt::SkipEmptyParts);
}

// A started core, the shell with the real list and market windows, on the loopback server.
struct MarketFixture {
    MarketFixture() {
        http.port = server.port();
        make_core();
        open_shell();
    }
    ~MarketFixture() { shell.reset(); }
    void make_core() {
        Platform p = fx.platform();
        p.http = &http;
        if (presenter) p.messages = presenter;
        shell.reset();
        fx.core.reset();
        fx.core = std::make_unique<Core>(fx.dir.path(), p);
        fx.start();
    }
    void open_shell() {
        shell = std::make_unique<Shell>(*fx.core);
        register_journal_windows(*shell);
        register_market_windows(*shell);
        shell->end_program = [] {};
        mdi = shell->mdi();
        mdi->show();
        title = shell->window_as<Title>(QStringLiteral("Title"));
        title->popup_menu = [](QMenu*, const QPoint&) {};
        title->handle_resize();
        title->show();
        QApplication::setActiveWindow(mdi);
        // What the start on an empty folder said (no checklist file yet) is not the test's.
        fx.messages.boxes.clear();
    }
    // A new run on the same program folder.
    void restart() {
        make_core();
        open_shell();
    }
    Core& c() { return *fx.core; }
    QStringList boxes() {
        const QStringList texts = fx.messages.box_texts();
        fx.messages.boxes.clear();
        return texts;
    }

    MarketServer server;
    HostSwapHttp http;
    MessagePresenter* presenter = nullptr;  // in place of the fake one, from the next start
    CoreFixture fx;
    std::unique_ptr<Shell> shell;
    MDIMain* mdi = nullptr;
    Title* title = nullptr;
};

} // namespace qb::test
