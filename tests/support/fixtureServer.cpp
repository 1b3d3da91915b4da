#include "fixtureServer.h"

#include <QFile>

#include <utility>

fixtureServer::fixtureServer() {
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this,
                    [this, socket] { answerRequest(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

QString fixtureServer::baseURL() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort());
}

void fixtureServer::serveFile(const QString& path, const QString& file,
                              const QByteArray& contentType) {
    QFile f(file);
    f.open(QIODevice::ReadOnly);
    setAnswer(path, answer{200, f.readAll(), contentType, behaviour::normal});
}

void fixtureServer::answerRequest(QTcpSocket* socket) {
    QByteArray& request = pending_[socket];
    request += socket->readAll();
    if (!request.contains("\r\n\r\n"))
        return;
    const QList<QByteArray> requestLine = request.left(request.indexOf("\r\n")).split(' ');
    pending_.remove(socket);
    const QString target = QString::fromLatin1(requestLine.value(1));
    requests_.append(target);
    const QUrl url(target);
    const QString path = url.path();

    answer a = answers_.value(path, answer{404, "not found", "text/plain", behaviour::normal});
    for (const queryAnswer& q : queryAnswers_) {
        if (q.path == path && url.query().contains(q.queryPart))
            a = q.a;
    }
    send(socket, a);
}

void fixtureServer::releaseHeldAnswers() {
    const auto held = std::exchange(held_, {});
    for (const auto& [socket, a] : held) {
        if (!socket)
            continue; // the client gave up
        answer released = a;
        released.how = behaviour::normal;
        send(socket, released);
    }
}

void fixtureServer::send(QTcpSocket* socket, const answer& a) {
    switch (a.how) {
    case behaviour::held:
        held_.append({socket, a});
        return;
    case behaviour::stall:
        return; // the connection stays open and silent
    case behaviour::garbage:
        socket->write(QByteArray("\x00\xff\x13 this is not HTTP \xfe\r\n\r\n", 27));
        socket->disconnectFromHost();
        return;
    case behaviour::normal:
    case behaviour::cutShort: {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(a.status) + " Fixture\r\n" +
                          "Content-Type: " + a.contentType + "\r\n" +
                          "Content-Length: " + QByteArray::number(a.body.size()) + "\r\n" +
                          "Connection: close\r\n\r\n";
        socket->write(head);
        socket->write(a.how == behaviour::cutShort ? a.body.left(a.body.size() / 2) : a.body);
        socket->disconnectFromHost();
        return;
    }
    }
}
