#pragma once

#include "miniSeedRecord.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>

class QThread;
class seedLinkConnection;

// One channel to ask for.
struct seedLinkChannel {
    QString network, station, location, channel; // location empty when blank
};

// One data packet: the station it came for, its sequence number, the raw 512-byte record
// and the record decoded by libmseed (miniSeedRecord).
struct seedLinkPacket {
    QString network, station;
    int sequence = -1;
    QByteArray record;
    miniSeedRecord decoded;
};

// A SeedLink 3.1 client in multi-station mode: one TCP connection carries every station of
// the request. The socket lives on a worker thread the client owns; the records are decoded
// there and reach the client's thread in batches, one per read, by queued call.
//
// A dropped connection (closed, an error, nothing heard for the idle time-out, bytes that are
// no packet) is logged once and made again after 1, 2, 4 … up to 60 s (from 1 s again after a
// connection that brought data). Each station then resumes after the last sequence number it
// received, so nothing comes twice and nothing is lost; a station that had nothing yet asks as
// at first. While streaming, a quiet connection is kept alive with "INFO ID" (not more often
// than every 4 minutes); the answer's info packets are passed over.
class seedLinkClient : public QObject {
    Q_OBJECT
public:
    static constexpr int defaultPort = 18000;

    explicit seedLinkClient(QObject* parent = nullptr);
    // Stops and joins the worker; the worker never blocks, so this does not hang.
    ~seedLinkClient() override;

    // "host:port" (port 18000 when absent). `from` invalid: DATA (live from now). `from` valid
    // and `until` invalid: TIME from, then live. Both valid: the past window, ending with END.
    // A running stream is stopped first.
    void start(const QString& server, const QList<seedLinkChannel>& channels,
               const QDateTime& from = {}, const QDateTime& until = {});
    // Ends the stream; nothing is delivered after it returns.
    void stop();
    // From start() until stop(), the server's END, or the refusal of every station.
    bool isRunning() const { return running_; }
    // Milliseconds: the handshake's answers, the silence that counts as a drop while
    // streaming, and the quiet time after which the client says "INFO ID" (240 s at least).
    // They apply from the next start().
    void setTimeouts(int handshakeMs, int idleMs, int keepAliveMs);
    // For tests: the first wait before reconnecting (then doubled, up to 60 times it), and a
    // keep-alive interval below the 4-minute floor.
    void setTimingsForTests(int firstReconnectWaitMs, int keepAliveMs);

    // The command lines of a first connection, without their "\r\n": HELLO; per station
    // STATION, one SELECT per channel and DATA or TIME; END.
    static QStringList requestCommands(const QList<seedLinkChannel>& channels,
                                       const QDateTime& from, const QDateTime& until);

Q_SIGNALS:
    void packetsArrived(const QList<seedLinkPacket>& packets); // main thread, batched per read
    // The server's END after a past window, or every station refused: nothing more will come.
    void streamEnded();
    void connectionDropped(const QString& reason); // each drop, before the reconnect wait
    void connectedChanged(bool connected);
    void stationRefused(const QString& stationName); // "NET.STA"

private:
    friend class seedLinkConnection;

    // Timings a connection starts with, milliseconds.
    struct timings {
        int handshakeMs = 30000;
        int idleMs = 600000;
        int keepAliveMs = 240000;
        int firstReconnectWaitMs = 1000;
    };

    // The worker's news, on the client's thread: dropped unless it belongs to the running
    // stream.
    bool current(int generation) const { return running_ && generation == generation_; }
    void finishStream(int generation);

    QThread* thread_ = nullptr;
    timings timings_;
    int generation_ = 0;
    bool running_ = false;
};

Q_DECLARE_METATYPE(seedLinkChannel)
Q_DECLARE_METATYPE(seedLinkPacket)
