#include "fixtureServer.h"

#include <QFile>
#include <QUrlQuery>

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
    const qsizetype headEnd = request.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return;
    // A POST's body follows its head; wait for all of it.
    qsizetype bodyLength = 0;
    for (const QByteArray& header : request.left(headEnd).split('\n')) {
        if (header.toLower().startsWith("content-length:"))
            bodyLength = header.mid(15).trimmed().toLongLong();
    }
    if (request.size() < headEnd + 4 + bodyLength)
        return;
    const QByteArray body = request.mid(headEnd + 4, bodyLength);
    const QList<QByteArray> requestLine = request.left(request.indexOf("\r\n")).split(' ');
    pending_.remove(socket);
    const QString target = QString::fromLatin1(requestLine.value(1));
    requests_.append(target);
    const QUrl url(target);
    const QString path = url.path();
    if (requestLine.value(0) == "POST")
        posts_.append({path, body});

    answer a = answers_.value(
        path, fdsnAnswer(path, url, body)
                  .value_or(answer{404, "not found", "text/plain", behaviour::normal}));
    for (const queryAnswer& q : queryAnswers_) {
        if (q.path == path && url.query().contains(q.queryPart))
            a = q.a;
    }
    send(socket, a);
}

void fixtureServer::addFdsnChannel(const QString& network, const QString& station,
                                   const QString& location, const QString& channel,
                                   const QByteArray& miniSeed, const QByteArray& stationLine) {
    fdsnChannels_.append({network, station, location, channel, miniSeed, stationLine});
}

std::optional<fixtureServer::answer> fixtureServer::fdsnAnswer(const QString& path, const QUrl& url,
                                                               const QByteArray& body) const {
    const bool dataselect = path == dataselectPath;
    if (!dataselect && path != stationPath)
        return std::nullopt;
    QList<QStringList> asked;
    if (body.isEmpty()) {
        const QUrlQuery query(url);
        asked.append({query.queryItemValue("net"), query.queryItemValue("sta"),
                      query.queryItemValue("loc"), query.queryItemValue("cha")});
    }
    for (const QByteArray& line : body.split('\n')) {
        const QStringList fields = QString::fromUtf8(line).split(u' ', Qt::SkipEmptyParts);
        if (fields.size() >= 4 && !fields.first().contains(u'='))
            asked.append(fields.mid(0, 4));
    }
    answer a{200, {}, dataselect ? "application/vnd.fdsn.mseed" : "text/plain"};
    for (const fdsnChannel& c : fdsnChannels_) {
        for (const QStringList& codes : asked) {
            const QString location =
                codes.value(2) == QLatin1StringView("--") ? QString() : codes.value(2);
            if (codes.value(0) == c.network && codes.value(1) == c.station &&
                location == c.location && codes.value(3) == c.channel) {
                a.body += dataselect ? c.miniSeed : c.stationLine + '\n';
                break;
            }
        }
    }
    if (a.body.isEmpty())
        return answer{204, {}, "text/plain"};
    if (!dataselect)
        a.body.prepend("#Network | Station | Location | Channel | Latitude | Longitude | "
                       "Elevation | Depth | Azimuth | Dip | SensorDescription | Scale | "
                       "ScaleFreq | ScaleUnits | SampleRate | StartTime | EndTime\n");
    return a;
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
