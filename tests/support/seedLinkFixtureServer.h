#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTcpServer>

class QTcpSocket;
class QTimer;

// A SeedLink 3.1 server on the loopback interface for the tests and the benchmarks. It keeps
// one ring of 512-byte miniSEED records, numbered in the order they were added as a server
// numbers what its stations send, and serves them to multi-station requests: HELLO, STATION
// (ERROR for a station it has no record of), SELECT LLCCC ("--" a blank location, "?" any
// character), then DATA, DATA with a sequence number, TIME from a time, or TIME with an end,
// and END. Its records count as arriving after the request, so DATA serves them all; DATA seq
// those from that number on; TIME those that reach past its start (and begin before its end).
// When every station of a connection asked for a window, "END" follows the last packet. INFO
// is answered with two info packets. Every command line is kept, for byte-for-byte checks.
//
// It can be told to misbehave once, on the next connection that streams, after so many
// packets: close the connection, stall (send nothing more), send bytes that are no packet, or
// close in the middle of a record. It can pace the packets by their records' times, at a
// multiple of real time. It runs in the thread that makes it; that thread's event loop serves
// it.
class seedLinkFixtureServer : public QObject {
    Q_OBJECT
public:
    enum class fault { none, drop, stall, garbage, cutMidRecord };

    seedLinkFixtureServer();
    ~seedLinkFixtureServer() override;

    // "127.0.0.1:port"
    QString server() const;
    quint16 port() const;

    // The sequence number of the next record added (1 unless set).
    void setNextSequence(int sequence) { nextSequence_ = sequence & 0xFFFFFF; }
    // Adds every 512-byte record of `miniSeed` to the ring, read for its codes and times.
    void addRecords(const QByteArray& miniSeed);
    // Adds one record as given, damaged or not, served to every request for the station.
    void addRawRecord(const QString& network, const QString& station, const QByteArray& record);
    // The sequence numbers given so far, in the ring's order.
    QList<int> sequences() const;

    // The next streaming connection misbehaves after `afterPackets` packets.
    void setFault(fault what, int afterPackets) {
        fault_ = what;
        faultAfter_ = afterPackets;
    }
    // Packets go out in the order of their records' starts, each when it is due, `factor`
    // times faster than real time, counted from the earliest record of the connection; 0
    // sends them at once, in the ring's order. 60 channels at 100 Hz at 10 times real time
    // is about 120 packets a second.
    void setRealTimeFactor(double factor) { realTimeFactor_ = factor; }

    // Every command line received, without its line end, over every connection.
    const QStringList& commands() const { return commands_; }
    int connections() const { return connections_; }
    qint64 packetsSent() const { return packetsSent_; }

Q_SIGNALS:
    void commandReceived(const QString& line);
    // A connection said END and gets its packets now.
    void streamingStarted();

private:
    struct record {
        int sequence = 0;
        QString network, station, location, channel; // empty for a raw record
        qint64 startUs = 0, endUs = 0;               // µs since 1970
        bool known = false;                          // read from its header
        QByteArray bytes;
    };
    struct request {
        QString network, station;
        QStringList selectors;
        int fromSequence = -1; // DATA seq
        QDateTime from, until; // TIME
        bool window = false;   // TIME with an end
    };
    struct connection {
        QByteArray input;
        QList<request> requests;
        bool selecting = false; // the last STATION was accepted
        QList<int> queue;       // indexes into the ring, in order
        int next = 0;
        bool streaming = false;
        bool ends = false;
        fault misbehaviour = fault::none;
        int faultAfter = 0;
        int sent = 0;
        QElapsedTimer clock;
        qint64 firstUs = 0; // the earliest record's start, where pacing counts from
        QTimer* pacer = nullptr;
    };

    void read(QTcpSocket* socket);
    void command(QTcpSocket* socket, connection& c, const QString& line);
    void startStreaming(QTcpSocket* socket, connection& c);
    // Sends what is due; false once the connection is done with (closed or stalled).
    void sendDue(QTcpSocket* socket, connection& c);
    bool wanted(const record& r, const request& q) const;

    QTcpServer server_;
    QList<record> ring_;
    int nextSequence_ = 1;
    QHash<QTcpSocket*, connection> open_;
    QStringList commands_;
    int connections_ = 0;
    qint64 packetsSent_ = 0;
    fault fault_ = fault::none;
    int faultAfter_ = 0;
    double realTimeFactor_ = 0;
};
