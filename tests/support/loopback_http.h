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
    QString url(const QString& path) const;
    quint16 port() const { return server_.serverPort(); }
    // Request paths in arrival order.
    QStringList requests;
    // How often each path was asked for.
    int count(const QString& path) const { return int(requests.count(path)); }
    // A loopback port where nothing listens.
    static quint16 closed_port();

private:
    void serve(QTcpSocket* socket);

    QTcpServer server_;
    QHash<QString, Reply> routes_;
};

} // namespace qb::test
