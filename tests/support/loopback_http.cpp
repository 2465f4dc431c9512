#include "support/loopback_http.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace qb::test {

LoopbackHttp::LoopbackHttp() {
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

void LoopbackHttp::route_endless(const QString& path, const QByteArray& pattern, const QByteArray& type) {
    QByteArray body;
    while (body.size() < 64 * 1024) body += pattern;
    endless_.insert(path, Endless{type, QByteArray::number(body.size(), 16) + "\r\n" + body + "\r\n"});
}

QString LoopbackHttp::url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

quint16 LoopbackHttp::closed_port() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

void LoopbackHttp::serve(QTcpSocket* socket) {
    QByteArray buffer = socket->property("qb_buffer").toByteArray() + socket->readAll();
    socket->setProperty("qb_buffer", buffer);
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0 || socket->property("qb_answered").toBool()) return;
    socket->setProperty("qb_answered", true);
    const QList<QByteArray> line = buffer.left(buffer.indexOf("\r\n")).split(' ');
    const QString path = line.size() > 1 ? QString::fromLatin1(line[1]) : QString();
    requests << path;
    const int wait = delays_.value(path, 0);
    if (wait <= 0) {
        answer(socket, path);
        return;
    }
    QPointer<QTcpSocket> later(socket);
    QTimer::singleShot(wait, this, [this, later, path] {
        if (later && later->state() == QAbstractSocket::ConnectedState) answer(later, path);
    });
}

void LoopbackHttp::answer(QTcpSocket* socket, const QString& path) {
    if (const auto endless = endless_.constFind(path.section(u'?', 0, 0)); endless != endless_.constEnd()) {
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: " + endless->type + "\r\nTransfer-Encoding: chunked\r\n\r\n");
        const QByteArray chunk = endless->chunk;
        connect(socket, &QTcpSocket::bytesWritten, socket, [this, socket, chunk] { send_endless(socket, chunk); });
        send_endless(socket, chunk);
        return;
    }
    const auto it = routes_.constFind(path);
    const Reply reply = it != routes_.constEnd() ? *it : Reply{404, "text/plain", "not here", false};
    if (reply.hang) return;
    socket->write("HTTP/1.1 " + QByteArray::number(reply.status) + (reply.status < 300 ? " OK" : " Error") +
                  "\r\nContent-Type: " + reply.type + "\r\nContent-Length: " + QByteArray::number(reply.body.size()) +
                  "\r\nConnection: close\r\n\r\n" + reply.body);
    socket->disconnectFromHost();
}

void LoopbackHttp::send_endless(QTcpSocket* socket, const QByteArray& chunk) {
    // Only a little ahead of the client: the server itself must not fill the memory.
    while (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < 4 * chunk.size()) {
        if (endless_bytes_sent >= endless_give_up_bytes) {
            socket->abort();
            return;
        }
        socket->write(chunk);
        endless_bytes_sent += chunk.size();
    }
}

} // namespace qb::test
