// The real HTTP transport against a server on 127.0.0.1 started here: success,
// error statuses, refusal, redirects, the size limit and the time-outs.
#include "platform/qt_platform.h"
#include "support/loopback_http.h"

#include <QElapsedTimer>
#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QtTest>

using namespace qb;

namespace {

// What the program's transport is built with.
constexpr qint64 kShippedLimit = 10 * 1024 * 1024;
constexpr int kShippedTimeOutMs = 30000;

QByteArray response(int status, const QByteArray& reason, const QByteArray& body, const QByteArray& extra = {}) {
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\nConnection: close\r\n" + extra + "\r\n" + body;
}

// Answers GET requests by path with canned bytes; unknown paths never answer.
// Lives on the test's thread: the transport's local loop serves it.
class LoopbackServer : public QObject {
public:
    LoopbackServer() {
        QVERIFY(server.listen(QHostAddress::LocalHost));
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, this, [this, s] { on_ready(s); });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    QString url(const QString& path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(path); }

    QHash<QByteArray, QByteArray> answers;
    QList<QByteArray> paths;
    QByteArray trickle_path;  // sends its body one byte every 50 ms
    QHash<QByteArray, QByteArray> held;  // sent, then the connection is kept open, silent

private:
    void on_ready(QTcpSocket* s) {
        QByteArray& buf = buffers[s];
        buf += s->readAll();
        if (!buf.contains("\r\n\r\n")) return;
        const QByteArray path = buf.split(' ').value(1);
        buf.clear();
        paths << path;
        if (path == trickle_path) {
            s->write("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nConnection: close\r\n\r\n");
            auto* t = new QTimer(s);
            connect(t, &QTimer::timeout, s, [s] { s->write("x"); });
            t->start(50);
            return;
        }
        if (held.contains(path)) {
            s->write(held.value(path));
            return;
        }
        if (!answers.contains(path)) return;
        s->write(answers.value(path));
        s->disconnectFromHost();
    }

    QTcpServer server;
    QHash<QTcpSocket*, QByteArray> buffers;
};

} // namespace

class TestHttpTransport : public QObject {
    Q_OBJECT

private slots:
    void replies_data();
    void replies();
    void refused_connection();
    void endless_reply_stops_at_the_limit();
    void announced_length_over_the_limit_data();
    void announced_length_over_the_limit();
    void time_outs_data();
    void time_outs();
    void deadline_bounds_the_transfer();
    void no_nested_transfer();
    void only_web_addresses();
};

void TestHttpTransport::replies_data() {
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("200") << QByteArray("/ok") << true << QByteArray("\"IBM\",84.50");
    QTest::newRow("200 empty") << QByteArray("/empty") << true << QByteArray();
    QTest::newRow("404") << QByteArray("/missing") << false << QByteArray();
    QTest::newRow("500") << QByteArray("/broken") << false << QByteArray();
    // Statuses Qt does not count as network errors: only 2xx is an answer.
    QTest::newRow("199") << QByteArray("/early") << false << QByteArray();
    QTest::newRow("304") << QByteArray("/unchanged") << false << QByteArray();
    QTest::newRow("redirect followed") << QByteArray("/old") << true << QByteArray("moved here");
    QTest::newRow("redirect to 404") << QByteArray("/old-missing") << false << QByteArray();
    QTest::newRow("at the limit") << QByteArray("/exact") << true << QByteArray(1000, 'a');
    QTest::newRow("declared over the limit") << QByteArray("/big") << false << QByteArray();
    QTest::newRow("streamed over the limit") << QByteArray("/stream") << false << QByteArray();
}

void TestHttpTransport::replies() {
    QFETCH(QByteArray, path);
    QFETCH(bool, ok);
    QFETCH(QByteArray, body);
    LoopbackServer srv;
    srv.answers["/ok"] = response(200, "OK", "\"IBM\",84.50");
    srv.answers["/empty"] = response(200, "OK", "");
    srv.answers["/missing"] = response(404, "Not Found", "<html>Not Found</html>");
    srv.answers["/broken"] = response(500, "Internal Server Error", "<html>oops</html>");
    srv.answers["/early"] = response(199, "Early", "\"IBM\",84.50");
    srv.answers["/unchanged"] = response(304, "Not Modified", "");
    srv.answers["/old"] = response(302, "Found", "", "Location: /new\r\n");
    srv.answers["/new"] = response(200, "OK", "moved here");
    srv.answers["/old-missing"] = response(301, "Moved", "", "Location: /missing\r\n");
    srv.answers["/exact"] = response(200, "OK", QByteArray(1000, 'a'));
    srv.answers["/big"] = response(200, "OK", QByteArray(1001, 'b'));
    // No length given: the limit has to be found while reading.
    srv.answers["/stream"] = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + QByteArray(5000, 'c');

    QtHttpTransport http(5000, 1000);
    const std::optional<QByteArray> got = http.get(QUrl(srv.url(QString::fromLatin1(path))));
    QCOMPARE(got.has_value(), ok);
    if (ok) QCOMPARE(*got, body);
    if (path == "/old") QCOMPARE(srv.paths, (QList<QByteArray>{"/old", "/new"}));
}

void TestHttpTransport::refused_connection() {
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const quint16 port = closed.serverPort();
    closed.close();
    // Far longer than a refusal takes even on a busy machine.
    QtHttpTransport http(60000);
    QElapsedTimer t;
    t.start();
    QVERIFY(!http.get(QUrl(QStringLiteral("http://127.0.0.1:%1/x").arg(port))).has_value());
    QVERIFY2(t.elapsed() < 20000, qPrintable(QString::number(t.elapsed())));
}

// A reply without a length that never ends, against the shipped limits: reading stops
// soon after the limit, not at the time-out and not when the server gives up.
void TestHttpTransport::endless_reply_stops_at_the_limit() {
    test::LoopbackHttp srv;
    srv.route_endless("/endless", "0123456789abcdef");
    srv.endless_give_up_bytes = qint64(256) << 20;
    QtHttpTransport http;
    QElapsedTimer t;
    t.start();
    QVERIFY(!http.get(QUrl(srv.url("/endless"))).has_value());
    const qint64 took = t.elapsed();
    const qint64 sent = srv.endless_bytes_sent;
    qInfo("%lld ms, %.1f MiB sent", took, sent / 1048576.0);
    // The limit was reached, so the limit ended it ...
    QVERIFY2(sent > kShippedLimit, qPrintable(QString::number(sent)));
    // ... with no more on top than the sockets' buffers and the transport's read buffer hold.
    QVERIFY2(sent < kShippedLimit + (qint64(48) << 20), qPrintable(QString::number(sent)));
    QVERIFY2(took < kShippedTimeOutMs / 2, qPrintable(QString::number(took)));
}

void TestHttpTransport::announced_length_over_the_limit_data() {
    QTest::addColumn<qint64>("length");
    QTest::newRow("one byte over") << kShippedLimit + 1;
    QTest::newRow("far over") << (qint64(1) << 40);
}

// A length over the limit in the header fails as soon as the header is read: the server
// here sends no body at all and holds the connection, so only the header can end it
// before the time-out.
void TestHttpTransport::announced_length_over_the_limit() {
    QFETCH(qint64, length);
    LoopbackServer srv;
    srv.held["/big"] = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nContent-Length: " + QByteArray::number(length) + "\r\n\r\n";
    QtHttpTransport http;
    QElapsedTimer t;
    t.start();
    QVERIFY(!http.get(QUrl(srv.url("/big"))).has_value());
    QVERIFY2(t.elapsed() < kShippedTimeOutMs / 2, qPrintable(QString::number(t.elapsed())));
    QCOMPARE(srv.paths, QList<QByteArray>{"/big"});
}

void TestHttpTransport::time_outs_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("never answers") << "/silent";
    // Bytes keep coming, so only a bound on the whole transfer ends it.
    QTest::newRow("trickles") << "/trickle";
}

void TestHttpTransport::time_outs() {
    QFETCH(QString, path);
    LoopbackServer srv;
    srv.trickle_path = "/trickle";
    QtHttpTransport http(2000);
    QElapsedTimer t;
    t.start();
    QVERIFY(!http.get(QUrl(srv.url(path))).has_value());
    // Not before the time-out (a coarse timer may fire a little early), and nowhere near
    // ten times it, which no busy machine reaches.
    QVERIFY2(t.elapsed() >= 1800 && t.elapsed() < 20000, qPrintable(QString::number(t.elapsed())));
    // The transport is usable again afterwards.
    srv.answers["/ok"] = response(200, "OK", "fine");
    QCOMPARE(http.get(QUrl(srv.url("/ok"))), std::optional<QByteArray>("fine"));
}

// A deadline shorter than the transport's own time-out ends the wait at the deadline.
void TestHttpTransport::deadline_bounds_the_transfer() {
    LoopbackServer srv;
    QtHttpTransport http(60000);
    QElapsedTimer t;
    t.start();
    QVERIFY(!http.get_before(QUrl(srv.url("/silent")), QDeadlineTimer(2000)).has_value());
    QVERIFY2(t.elapsed() >= 1800 && t.elapsed() < 20000, qPrintable(QString::number(t.elapsed())));
    QVERIFY(!http.get_before(QUrl(srv.url("/silent")), QDeadlineTimer(0)).has_value());
}

void TestHttpTransport::no_nested_transfer() {
    LoopbackServer srv;
    srv.answers["/ok"] = response(200, "OK", "fine");
    QtHttpTransport http(300);
    std::optional<QByteArray> inner = QByteArray("not called");
    QTimer::singleShot(20, [&] { inner = http.get(QUrl(srv.url("/ok"))); });
    QVERIFY(!http.get(QUrl(srv.url("/silent"))).has_value());
    QVERIFY(!inner.has_value());
    QVERIFY(!srv.paths.contains("/ok"));
}

void TestHttpTransport::only_web_addresses() {
    QTemporaryFile f;
    QVERIFY(f.open());
    f.write("secret");
    f.close();
    QtHttpTransport http(1000);
    QVERIFY(!http.get(QUrl::fromLocalFile(f.fileName())).has_value());
    QVERIFY(!http.get(QUrl()).has_value());
}

QTEST_GUILESS_MAIN(TestHttpTransport)
#include "tst_http_transport.moc"
