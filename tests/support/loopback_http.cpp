#include "support/loopback_http.h"

#include <QTcpSocket>

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
    const auto it = routes_.constFind(path);
    const Reply reply = it != routes_.constEnd() ? *it : Reply{404, "text/plain", "not here", false};
    if (reply.hang) return;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + (reply.status < 300 ? " OK" : " Error") +
                      "\r\nContent-Type: " + reply.type + "\r\nContent-Length: " +
                      QByteArray::number(reply.body.size()) + "\r\nConnection: close\r\n\r\n";
    socket->write(head + reply.body);
    socket->disconnectFromHost();
}

} // namespace qb::test
