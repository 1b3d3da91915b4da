#include "seedLinkClient.h"

#include "quorvelLogging.h"
#include "seedLinkPacketStream.h"

#include <QHash>
#include <QLoggingCategory>
#include <QTcpSocket>
#include <QThread>
#include <QTimeZone>
#include <QTimer>

#include <algorithm>

namespace {

// Servers take a keep-alive more often than this for a client that floods them.
constexpr int shortestKeepAliveMs = 240000;
constexpr int longestReconnectWaits = 60; // times the first wait
constexpr int sequenceModulus = 0x1000000;

// The channels of one station, in the order they were given.
struct stationRequest {
    QString network, station;
    QStringList selectors; // "00BHZ", "--BHZ"
};

QString stationName(const QString& network, const QString& station) {
    return network + u'.' + station;
}

QList<stationRequest> stationsOf(const QList<seedLinkChannel>& channels) {
    QList<stationRequest> stations;
    for (const seedLinkChannel& c : channels) {
        auto it = std::find_if(stations.begin(), stations.end(), [&c](const stationRequest& s) {
            return s.network == c.network && s.station == c.station;
        });
        if (it == stations.end()) {
            stations.append({c.network, c.station, {}});
            it = stations.end() - 1;
        }
        const QString location = c.location.trimmed();
        const QString selector =
            (location.isEmpty() ? QStringLiteral("--") : location) + c.channel.trimmed();
        if (!it->selectors.contains(selector))
            it->selectors.append(selector);
    }
    return stations;
}

QString timeArgument(const QDateTime& when) {
    return when.toTimeZone(QTimeZone::utc()).toString(QStringLiteral("yyyy,MM,dd,HH,mm,ss"));
}

// The lines that ask for one station: STATION, its SELECTs, then DATA after `lastSequence`
// when one came, else DATA or TIME as the request says.
QStringList stationCommands(const stationRequest& s, int lastSequence, const QDateTime& from,
                            const QDateTime& until) {
    QStringList lines{QStringLiteral("STATION %1 %2").arg(s.station, s.network)};
    for (const QString& selector : s.selectors)
        lines.append(QStringLiteral("SELECT ") + selector);
    if (lastSequence >= 0)
        lines.append(QStringLiteral("DATA %1")
                         .arg((lastSequence + 1) % sequenceModulus, 6, 16, QChar(u'0'))
                         .toUpper());
    else if (!from.isValid())
        lines.append(QStringLiteral("DATA"));
    else if (!until.isValid())
        lines.append(QStringLiteral("TIME ") + timeArgument(from));
    else
        lines.append(QStringLiteral("TIME %1 %2").arg(timeArgument(from), timeArgument(until)));
    return lines;
}

} // namespace

// The connection itself, on the client's worker thread: the socket, the handshake, the
// packets and the reconnects. It tells the client by queued calls that carry the stream's
// generation, so that the client drops what a stopped stream still had on its way.
class seedLinkConnection : public QObject {
public:
    seedLinkConnection(seedLinkClient* client, int generation, const QString& server,
                       const QList<seedLinkChannel>& channels, const QDateTime& from,
                       const QDateTime& until, const seedLinkClient::timings& t)
        : client_(client)
        , generation_(generation)
        , from_(from)
        , until_(until)
        , timings_(t) {
        const qsizetype colon = server.lastIndexOf(u':');
        bool ok = false;
        const int port = colon < 0 ? 0 : server.mid(colon + 1).toInt(&ok);
        host_ = ok ? server.left(colon) : server;
        port_ = ok && port > 0 && port < 65536 ? quint16(port) : seedLinkClient::defaultPort;
        for (const stationRequest& s : stationsOf(channels))
            stations_.append({s, -1, false});
    }

    // Runs on the worker thread once it has started.
    void begin() {
        socket_ = new QTcpSocket(this);
        connect(socket_, &QTcpSocket::connected, this, &seedLinkConnection::connected);
        connect(socket_, &QTcpSocket::readyRead, this, &seedLinkConnection::read);
        connect(socket_, &QTcpSocket::disconnected, this,
                [this] { drop(QStringLiteral("the server closed the connection")); });
        connect(socket_, &QTcpSocket::errorOccurred, this,
                [this] { drop(socket_->errorString()); });
        for (QTimer** timer : {&silence_, &keepAlive_, &reconnect_}) {
            *timer = new QTimer(this);
            (*timer)->setSingleShot(true);
        }
        connect(silence_, &QTimer::timeout, this, [this] {
            drop(phase_ == phase::streaming
                     ? QStringLiteral("nothing arrived for %1 s").arg(timings_.idleMs / 1000.0)
                     : QStringLiteral("no answer within %1 s").arg(timings_.handshakeMs / 1000.0));
        });
        connect(keepAlive_, &QTimer::timeout, this, [this] { send("INFO ID"); });
        connect(reconnect_, &QTimer::timeout, this, &seedLinkConnection::connectToServer);
        connectToServer();
    }

private:
    enum class phase { connecting, handshake, streaming, waiting, ended };

    struct station {
        stationRequest request;
        int lastSequence = -1; // of the last record received
        bool refused = false;
    };

    // One line of the handshake and the station it asks for (-1 for HELLO).
    struct step {
        QString line;
        int station = -1;
        bool stationLine = false;
    };

    template <typename F>
    void tell(F&& f) {
        QMetaObject::invokeMethod(
            client_,
            [client = client_, generation = generation_, f = std::forward<F>(f)] {
                if (client->current(generation))
                    f(client);
            },
            Qt::QueuedConnection);
    }

    void connectToServer() {
        phase_ = phase::connecting;
        stream_.reset();
        gotData_ = false;
        socket_->abort();
        socket_->connectToHost(host_, port_);
        silence_->start(timings_.handshakeMs);
    }

    void connected() {
        tell([](seedLinkClient* c) { Q_EMIT c->connectedChanged(true); });
        phase_ = phase::handshake;
        steps_ = {{QStringLiteral("HELLO"), -1, false}};
        for (int i = 0; i < stations_.size(); ++i) {
            const station& s = stations_[i];
            if (s.refused)
                continue;
            const QStringList lines = stationCommands(s.request, s.lastSequence, from_, until_);
            for (int j = 0; j < lines.size(); ++j)
                steps_.append({lines[j], i, j == 0});
        }
        nextStep_ = 0;
        helloLines_ = 0;
        sendStep();
    }

    void send(const QString& line) {
        socket_->write(line.toLatin1() + "\r\n");
        if (phase_ == phase::streaming)
            keepAlive_->start(timings_.keepAliveMs);
    }

    void sendStep() {
        if (nextStep_ < steps_.size()) {
            send(steps_[nextStep_].line);
            return;
        }
        if (std::all_of(stations_.begin(), stations_.end(),
                        [](const station& s) { return s.refused; })) {
            qCWarning(lcSeismograms).noquote()
                << QStringLiteral("SeedLink server %1: no station of the request was accepted")
                       .arg(host_);
            end();
            return;
        }
        phase_ = phase::streaming;
        send(QStringLiteral("END"));
        silence_->start(timings_.idleMs);
    }

    void answered(const QByteArray& line) {
        const step& s = steps_[nextStep_];
        if (s.station < 0) {
            // HELLO's two lines: the version, then the organisation.
            if (++helloLines_ < 2)
                return;
        } else if (!line.startsWith("OK")) {
            station& st = stations_[s.station];
            const QString name = stationName(st.request.network, st.request.station);
            if (s.stationLine || !s.line.startsWith(QLatin1StringView("SELECT"))) {
                qCWarning(lcSeismograms).noquote()
                    << QStringLiteral("SeedLink server %1 refused %2 (%3)")
                           .arg(host_, name, s.line);
                st.refused = true;
                tell([name](seedLinkClient* c) { Q_EMIT c->stationRefused(name); });
                while (nextStep_ + 1 < steps_.size() && steps_[nextStep_ + 1].station == s.station)
                    ++nextStep_;
            } else {
                qCWarning(lcSeismograms).noquote()
                    << QStringLiteral("SeedLink server %1 refused %2 of %3")
                           .arg(host_, s.line, name);
            }
        }
        ++nextStep_;
        sendStep();
    }

    void read() {
        const QByteArray bytes = socket_->readAll();
        if (phase_ == phase::handshake) {
            silence_->start(timings_.handshakeMs);
            for (const QByteArray& line : stream_.feedLines(bytes)) {
                answered(line);
                if (phase_ != phase::handshake)
                    break;
            }
            if (stream_.isGarbage())
                drop(QStringLiteral("the handshake's answer is not a line of text"));
            return;
        }
        if (phase_ != phase::streaming)
            return;
        silence_->start(timings_.idleMs);
        QList<seedLinkPacket> batch;
        bool ended = false;
        for (seedLinkPacketStream::packet& p : stream_.feed(bytes)) {
            if (p.what == seedLinkPacketStream::kind::end)
                ended = true;
            if (p.what != seedLinkPacketStream::kind::data)
                continue;
            gotData_ = true;
            if (std::optional<seedLinkPacket> packet = take(p.sequence, std::move(p.record)))
                batch.append(std::move(*packet));
        }
        if (!batch.isEmpty())
            tell([batch](seedLinkClient* c) { Q_EMIT c->packetsArrived(batch); });
        if (ended)
            end();
        else if (stream_.isGarbage())
            drop(QStringLiteral("bytes that are no SeedLink packet"));
    }

    // The packet to deliver for a data packet, or none: a record libmseed cannot decode (one
    // log line), one received before, or one past the end of a window.
    std::optional<seedLinkPacket> take(int sequence, QByteArray record) {
        QVRResult<miniSeedRecord> decoded = miniSeedRecord::decode(record);
        if (!decoded) {
            qCWarning(lcSeismograms).noquote()
                << QStringLiteral("SeedLink packet %1 from %2 skipped: %3")
                       .arg(sequence, 6, 16, QChar(u'0'))
                       .arg(host_, decoded.error());
            return std::nullopt;
        }
        miniSeedRecord& r = decoded.value();
        const auto it = std::find_if(stations_.begin(), stations_.end(), [&r](const station& s) {
            return s.request.network == r.network && s.request.station == r.station;
        });
        if (it != stations_.end()) {
            if (it->lastSequence == sequence)
                return std::nullopt;
            it->lastSequence = sequence;
        }
        // A window resumed with DATA goes on live; what lies past its end was not asked for.
        if (until_.isValid() && r.startTimeUs >= until_.toMSecsSinceEpoch() * 1000)
            return std::nullopt;
        seedLinkPacket packet;
        packet.network = r.network;
        packet.station = r.station;
        packet.sequence = sequence;
        packet.record = std::move(record);
        packet.decoded = std::move(r);
        return packet;
    }

    void stopTimers() {
        silence_->stop();
        keepAlive_->stop();
        reconnect_->stop();
    }

    void end() {
        phase_ = phase::ended;
        stopTimers();
        socket_->abort();
        tell([](seedLinkClient* c) { c->finishStream(c->generation_); });
    }

    void drop(const QString& reason) {
        if (phase_ == phase::waiting || phase_ == phase::ended)
            return;
        const bool wasConnected = phase_ != phase::connecting;
        phase_ = phase::waiting;
        stopTimers();
        socket_->abort();
        if (gotData_)
            failures_ = 0;
        const int wait = std::min(timings_.firstReconnectWaitMs << std::min(failures_, 16),
                                  timings_.firstReconnectWaitMs * longestReconnectWaits);
        ++failures_;
        qCWarning(lcSeismograms).noquote()
            << QStringLiteral("SeedLink connection to %1:%2 dropped: %3; trying again in %4 s")
                   .arg(host_)
                   .arg(port_)
                   .arg(reason)
                   .arg(wait / 1000.0);
        tell([reason, wasConnected](seedLinkClient* c) {
            Q_EMIT c->connectionDropped(reason);
            if (wasConnected)
                Q_EMIT c->connectedChanged(false);
        });
        reconnect_->start(wait);
    }

    seedLinkClient* const client_; // outlives this: it joins the thread before it goes
    const int generation_;
    QString host_;
    quint16 port_ = seedLinkClient::defaultPort;
    const QDateTime from_, until_;
    const seedLinkClient::timings timings_;
    QList<station> stations_;

    QTcpSocket* socket_ = nullptr;
    QTimer* silence_ = nullptr;   // the handshake's or the stream's time-out
    QTimer* keepAlive_ = nullptr; // restarted by every line sent while streaming
    QTimer* reconnect_ = nullptr;
    seedLinkPacketStream stream_;
    phase phase_ = phase::connecting;
    QList<step> steps_;
    int nextStep_ = 0;
    int helloLines_ = 0;
    bool gotData_ = false; // on this connection
    int failures_ = 0;     // drops since the last connection that brought data
};

seedLinkClient::seedLinkClient(QObject* parent)
    : QObject(parent) {
    qRegisterMetaType<seedLinkChannel>();
    qRegisterMetaType<seedLinkPacket>();
    qRegisterMetaType<QList<seedLinkPacket>>();
}

seedLinkClient::~seedLinkClient() {
    stop();
}

void seedLinkClient::start(const QString& server, const QList<seedLinkChannel>& channels,
                           const QDateTime& from, const QDateTime& until) {
    stop();
    ++generation_;
    running_ = true;
    thread_ = new QThread;
    thread_->setObjectName(QStringLiteral("seedLinkClient"));
    auto* worker =
        new seedLinkConnection(this, generation_, server, channels, from, until, timings_);
    worker->moveToThread(thread_);
    connect(thread_, &QThread::started, worker, &seedLinkConnection::begin);
    // Deleted on its own thread as that ends, with the socket and timers it made there.
    connect(thread_, &QThread::finished, worker, &QObject::deleteLater);
    thread_->start();
}

void seedLinkClient::stop() {
    ++generation_;
    running_ = false;
    if (!thread_)
        return;
    thread_->quit();
    thread_->wait();
    delete thread_;
    thread_ = nullptr;
}

void seedLinkClient::finishStream(int generation) {
    if (!current(generation))
        return;
    running_ = false;
    Q_EMIT streamEnded();
}

void seedLinkClient::setTimeouts(int handshakeMs, int idleMs, int keepAliveMs) {
    timings_.handshakeMs = std::max(1, handshakeMs);
    timings_.idleMs = std::max(1, idleMs);
    timings_.keepAliveMs = std::max(shortestKeepAliveMs, keepAliveMs);
}

void seedLinkClient::setTimingsForTests(int firstReconnectWaitMs, int keepAliveMs) {
    timings_.firstReconnectWaitMs = std::max(1, firstReconnectWaitMs);
    timings_.keepAliveMs = std::max(1, keepAliveMs);
}

QStringList seedLinkClient::requestCommands(const QList<seedLinkChannel>& channels,
                                            const QDateTime& from, const QDateTime& until) {
    QStringList lines{QStringLiteral("HELLO")};
    for (const stationRequest& s : stationsOf(channels))
        lines += stationCommands(s, -1, from, until);
    lines.append(QStringLiteral("END"));
    return lines;
}
