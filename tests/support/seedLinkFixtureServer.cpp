#include "seedLinkFixtureServer.h"

#include "miniSeedRecord.h"

#include <QTcpSocket>
#include <QTimeZone>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

constexpr int recordBytes = 512;
constexpr int sequenceModulus = 0x1000000;

QByteArray header(int sequence) {
    return "SL" + QByteArray::number(sequence, 16).toUpper().rightJustified(6, '0');
}

// An info packet of the answer to INFO: XML text padded to a record.
QByteArray infoPacket(bool more, const QByteArray& text) {
    QByteArray body = text.left(recordBytes);
    body.append(QByteArray(recordBytes - body.size(), ' '));
    return QByteArray("SLINFO ") + (more ? '*' : ' ') + body;
}

// "SELECT 00BHZ" against a record: "--" a blank location, "?" any character; without a
// location the selector names the channel alone.
bool selects(const QString& selector, const QString& location, const QString& channel) {
    const QString loc = location.isEmpty() ? QStringLiteral("--") : location;
    const QString code = selector.size() > 3 ? loc + channel : channel;
    if (code.size() != selector.size())
        return false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        if (selector[i] != u'?' && selector[i] != code[i])
            return false;
    }
    return true;
}

QDateTime timeOf(const QString& text) {
    QDateTime t = QDateTime::fromString(text, QStringLiteral("yyyy,MM,dd,HH,mm,ss"));
    t.setTimeZone(QTimeZone::utc());
    return t;
}

} // namespace

seedLinkFixtureServer::seedLinkFixtureServer() {
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            ++connections_;
            open_.insert(socket, connection{});
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                if (QTimer* pacer = open_.value(socket).pacer)
                    pacer->deleteLater();
                open_.remove(socket);
                socket->deleteLater();
            });
        }
    });
}

seedLinkFixtureServer::~seedLinkFixtureServer() {
    for (auto it = open_.begin(); it != open_.end(); ++it) {
        it.key()->disconnect(this);
        it.key()->abort();
        delete it.value().pacer;
        delete it.key();
    }
}

QString seedLinkFixtureServer::server() const {
    return QStringLiteral("127.0.0.1:%1").arg(server_.serverPort());
}

quint16 seedLinkFixtureServer::port() const {
    return server_.serverPort();
}

void seedLinkFixtureServer::addRecords(const QByteArray& miniSeed) {
    for (qsizetype at = 0; at + recordBytes <= miniSeed.size(); at += recordBytes) {
        const QByteArray bytes = miniSeed.mid(at, recordBytes);
        const QVRResult<miniSeedRecord> decoded = miniSeedRecord::decode(bytes);
        record r;
        r.sequence = nextSequence_;
        r.bytes = bytes;
        if (decoded) {
            const miniSeedRecord& d = decoded.value();
            r.network = d.network;
            r.station = d.station;
            r.location = d.location;
            r.channel = d.channel;
            r.startUs = d.startTimeUs;
            r.endUs = d.startTimeUs +
                      (d.sampleRate > 0
                           ? qint64(std::llround(double(d.samples.size()) * 1e6 / d.sampleRate))
                           : 0);
            r.known = true;
        }
        ring_.append(r);
        nextSequence_ = (nextSequence_ + 1) % sequenceModulus;
    }
}

void seedLinkFixtureServer::addRawRecord(const QString& network, const QString& station,
                                         const QByteArray& bytes) {
    record r;
    r.sequence = nextSequence_;
    r.network = network;
    r.station = station;
    r.bytes = bytes.leftJustified(recordBytes, '\0', true);
    ring_.append(r);
    nextSequence_ = (nextSequence_ + 1) % sequenceModulus;
}

QList<int> seedLinkFixtureServer::sequences() const {
    QList<int> numbers;
    for (const record& r : ring_)
        numbers.append(r.sequence);
    return numbers;
}

void seedLinkFixtureServer::read(QTcpSocket* socket) {
    const auto found = open_.find(socket);
    if (found == open_.end())
        return;
    connection& c = found.value();
    c.input += socket->readAll();
    qsizetype newline;
    while ((newline = c.input.indexOf('\n')) >= 0) {
        QByteArray line = c.input.left(newline);
        c.input.remove(0, newline + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        const QString text = QString::fromLatin1(line);
        commands_.append(text);
        Q_EMIT commandReceived(text);
        command(socket, c, text);
        if (!open_.contains(socket))
            return;
    }
}

void seedLinkFixtureServer::command(QTcpSocket* socket, connection& c, const QString& line) {
    static const QByteArray ok = "OK\r\n", error = "ERROR\r\n";
    const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
    const QString verb = words.value(0).toUpper();
    if (verb == QLatin1StringView("HELLO")) {
        socket->write("SeedLink v3.1 (2020.075 test fixture) :: SLPROTO:3.1 CAP EXTREPLY "
                      "NSWILDCARD BATCH WS:13\r\nQuorvel loopback fixture\r\n");
    } else if (verb == QLatin1StringView("STATION") && words.size() == 3) {
        c.selecting = std::any_of(ring_.begin(), ring_.end(), [&words](const record& r) {
            return r.station == words[1] && r.network == words[2];
        });
        if (c.selecting)
            c.requests.append({words[2], words[1], {}, -1, {}, {}, false});
        socket->write(c.selecting ? ok : error);
    } else if (verb == QLatin1StringView("SELECT") && words.size() == 2 && c.selecting &&
               (words[1].size() == 3 || words[1].size() == 5)) {
        c.requests.last().selectors.append(words[1]);
        socket->write(ok);
    } else if (verb == QLatin1StringView("DATA") && words.size() <= 2 && c.selecting) {
        bool valid = true;
        if (words.size() == 2)
            c.requests.last().fromSequence = words[1].toInt(&valid, 16);
        socket->write(valid ? ok : error);
    } else if (verb == QLatin1StringView("TIME") && (words.size() == 2 || words.size() == 3) &&
               c.selecting) {
        request& q = c.requests.last();
        q.from = timeOf(words[1]);
        q.window = words.size() == 3;
        if (q.window)
            q.until = timeOf(words[2]);
        socket->write(q.from.isValid() && (!q.window || q.until.isValid()) ? ok : error);
    } else if (verb == QLatin1StringView("END") && !c.streaming) {
        startStreaming(socket, c);
    } else if (verb == QLatin1StringView("INFO")) {
        socket->write(infoPacket(true, "<?xml version=\"1.0\"?>") +
                      infoPacket(false, "<seedlink software=\"test fixture\"/>"));
    } else {
        socket->write(error);
    }
}

bool seedLinkFixtureServer::wanted(const record& r, const request& q) const {
    if (r.network != q.network || r.station != q.station)
        return false;
    if (!r.known)
        return true;
    if (!q.selectors.isEmpty() &&
        std::none_of(q.selectors.begin(), q.selectors.end(),
                     [&r](const QString& s) { return selects(s, r.location, r.channel); }))
        return false;
    if (q.from.isValid() && r.endUs <= q.from.toMSecsSinceEpoch() * 1000)
        return false;
    return !q.window || r.startUs < q.until.toMSecsSinceEpoch() * 1000;
}

void seedLinkFixtureServer::startStreaming(QTcpSocket* socket, connection& c) {
    c.streaming = true;
    for (const request& q : c.requests) {
        qsizetype first = 0;
        if (q.fromSequence >= 0) {
            // The station's records from that number on: the numbers run through the ring in
            // order. One past the newest waits for new data; one the ring no longer holds
            // starts from its oldest record, as servers do.
            const auto at = std::find_if(ring_.begin(), ring_.end(), [&q](const record& r) {
                return r.sequence == q.fromSequence;
            });
            first = at != ring_.end()                 ? at - ring_.begin()
                    : q.fromSequence == nextSequence_ ? ring_.size()
                                                      : 0;
        }
        for (qsizetype i = first; i < ring_.size(); ++i) {
            if (wanted(ring_[i], q))
                c.queue.append(int(i));
        }
    }
    std::sort(c.queue.begin(), c.queue.end());
    c.queue.erase(std::unique(c.queue.begin(), c.queue.end()), c.queue.end());
    // Paced records go out as a datalogger sends them, by time, whatever order they were
    // added in.
    if (realTimeFactor_ > 0)
        std::stable_sort(c.queue.begin(), c.queue.end(),
                         [this](int a, int b) { return ring_[a].startUs < ring_[b].startUs; });
    c.ends = !c.requests.isEmpty() && std::all_of(c.requests.begin(), c.requests.end(),
                                                  [](const request& q) { return q.window; });
    // Pacing counts from the earliest record; those of unknown time go at once.
    for (const int i : c.queue) {
        if (ring_[i].known && (c.firstUs == 0 || ring_[i].startUs < c.firstUs))
            c.firstUs = ring_[i].startUs;
    }
    c.misbehaviour = std::exchange(fault_, fault::none);
    c.faultAfter = faultAfter_;
    c.clock.start();
    Q_EMIT streamingStarted();
    if (realTimeFactor_ > 0) {
        c.pacer = new QTimer(this);
        c.pacer->setInterval(5);
        connect(c.pacer, &QTimer::timeout, this, [this, socket] {
            const auto found = open_.find(socket);
            if (found != open_.end())
                sendDue(socket, found.value());
        });
        c.pacer->start();
    }
    sendDue(socket, c);
}

void seedLinkFixtureServer::sendDue(QTcpSocket* socket, connection& c) {
    while (c.next < c.queue.size()) {
        if (c.misbehaviour != fault::none && c.sent == c.faultAfter) {
            const fault what = std::exchange(c.misbehaviour, fault::none);
            if (c.pacer)
                c.pacer->stop();
            switch (what) {
            case fault::drop:
                socket->disconnectFromHost();
                return;
            case fault::stall:
                return;
            case fault::garbage:
                socket->write(QByteArray(recordBytes + 8, '#'));
                return;
            case fault::cutMidRecord: {
                const record& r = ring_[c.queue[c.next]];
                socket->write(QByteArray(header(r.sequence) + r.bytes).left(recordBytes / 2));
                socket->disconnectFromHost();
                return;
            }
            case fault::none:
                break;
            }
        }
        const record& r = ring_[c.queue[c.next]];
        if (c.pacer && r.known &&
            double(r.startUs - c.firstUs) / realTimeFactor_ > double(c.clock.nsecsElapsed()) / 1e3)
            return;
        socket->write(header(r.sequence) + r.bytes);
        ++c.next;
        ++c.sent;
        ++packetsSent_;
    }
    if (c.pacer)
        c.pacer->stop();
    if (c.ends && c.next == c.queue.size()) {
        c.ends = false;
        socket->write("END");
    }
}
