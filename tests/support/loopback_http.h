#pragma once
// A small HTTP server on 127.0.0.1 for tests: fixed replies by path, served from the
// test's own event loop (the blocking transport and the browser pane both wait in one).
#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;

namespace qb::test {

class LoopbackHttp : public QObject {
public:
    struct Reply {
        int status = 200;
        QByteArray type = "text/html";
        QByteArray body;
        bool hang = false;  // never answers
    };

    LoopbackHttp();
    void route(const QString& path, const Reply& reply) { routes_.insert(path, reply); }
    void route(const QString& path, const QByteArray& body, const QByteArray& type = "text/html") {
        routes_.insert(path, Reply{200, type, body, false});
    }
    // A chunked reply without a length that does not end: pattern after pattern, as fast
    // as the client reads, until it hangs up. Any query after the path is ignored.
    void route_endless(const QString& path, const QByteArray& pattern, const QByteArray& type = "text/html");
    // The reply is held back this long before it is sent.
    void delay(const QString& path, int ms) { delays_.insert(path, ms); }
    QString url(const QString& path) const;
    quint16 port() const { return server_.serverPort(); }
    // Request paths in arrival order.
    QStringList requests;
    // How often each path was asked for.
    int count(const QString& path) const { return int(requests.count(path)); }
    // Bytes sent by the endless replies so far; past the give-up mark the server cuts the
    // connection, so a client that never stops cannot take the test machine's memory.
    qint64 endless_bytes_sent = 0;
    qint64 endless_give_up_bytes = qint64(512) << 20;
    // A loopback port where nothing listens.
    static quint16 closed_port();

private:
    void serve(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const QString& path);
    void send_endless(QTcpSocket* socket, const QByteArray& chunk);

    QTcpServer server_;
    QHash<QString, Reply> routes_;
    struct Endless {
        QByteArray type;
        QByteArray chunk;
    };
    QHash<QString, Endless> endless_;
    QHash<QString, int> delays_;
};

} // namespace qb::test
