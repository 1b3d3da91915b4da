#pragma once

#include "QVRRTSeismicDisplayController.h"
#include "SacObject.h"
#include "seedLinkClient.h"
#include "streamedChannel.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class serialOperationQueue;

// The channels of a list streamed live from one SeedLink server over one connection, each kept
// filtered in a ring as long as the window. The stream starts with the server's own past
// (SeedLink TIME from the window's start); a window longer than a server keeps has its older
// part asked from an FDSN data centre in one bulk request, and until that answers the packets
// wait, so that every channel runs through its filters in time order and the two parts join
// without a sample twice or a step at the join. Lives on the main thread; the connection has a
// worker of its own, and so has the request to the data centre.
class liveStream : public QObject {
    Q_OBJECT
public:
    // What public servers keep of their streams, about an hour: older samples come from the
    // data centre.
    static constexpr double serverHoldsSeconds = 3600;

    struct request {
        QString server;      // "host:port"
        QString backfillURL; // the data centre's base address; null when there is none
        QList<QVRRTSeismicDisplayController::channelDescription> channels;
        double windowSeconds = 3600;
        int poles = 4;
    };

    // A channel's traces placed for the display: one per piece without a gap (one without
    // samples while it has none), on an axis in seconds from `axisStart`.
    struct placedTraces {
        QDateTime axisStart;
        QList<std::shared_ptr<const SacObject>> traces;
        QList<int> bands; // the channel of each trace, in list order
    };

    explicit liveStream(QObject* parent = nullptr);
    ~liveStream() override;

    // Connects and streams the request's channels from `now` − the window on.
    void start(const request& r, const QDateTime& now);
    // Ends the stream and any request to the data centre; the samples held stay.
    void stop();
    bool isRunning() const { return running_; }
    // The request of the stream running or last run.
    const request& currentRequest() const { return request_; }
    seedLinkClient& client() { return *client_; }

    // The channels in list order, and each one's name ("IU.ANMO.00.BHZ").
    const std::vector<std::unique_ptr<streamedChannel>>& channels() const { return channels_; }
    const QStringList& channelNames() const { return names_; }
    // True while the older part of the window is on its way and the packets wait for it.
    bool isBackfilling() const { return backfilling_; }

    // Lets go of the samples older than the window ending at `now`, and gives every channel's
    // pieces as traces, normalised each when asked. A channel unchanged since the last call
    // gives the same traces as then.
    placedTraces tracesAt(const QDateTime& now, bool normalise);
    // One line per channel, "IU.ANMO.00.BHZ 12:03:04Z (+3 s)": its last sample and how long
    // before `now` that was; "IU.ANMO.00.BHZ waiting" before its first. Then what went wrong,
    // a line each.
    QStringList statusLines(const QDateTime& now) const;

    // The older part's failure, or null text.
    const QString& backfillProblem() const { return backfillProblem_; }

    // "+3 s", "+4 min", "+2 h": how late a channel is.
    static QString delayText(qint64 delayMs);

Q_SIGNALS:
    // New samples were taken; the display redraws on its own timer, not per packet.
    void samplesArrived();
    void statusChanged();
    void runningChanged(bool running);

private:
    struct waitingPacket {
        int channel;
        qint64 startUs;
        double rate;
        std::vector<float> samples;
    };
    void takePackets(const QList<seedLinkPacket>& packets);
    void take(int channel, qint64 startUs, double rate, const float* samples, qsizetype count);
    void askForOlderPart(const QDateTime& from, const QDateTime& until);
    void takeOlderPart(int generation, const QList<std::vector<SacObject>>& traces,
                       const QString& failure);
    void setRunning(bool running);

    std::unique_ptr<seedLinkClient> client_;
    std::unique_ptr<serialOperationQueue> queue_;
    request request_;
    bool running_ = false;
    int generation_ = 0; // the start an answer of the data centre belongs to
    std::vector<std::unique_ptr<streamedChannel>> channels_;
    QList<seedLinkChannel> streams_; // one a channel
    QStringList names_;
    QHash<QString, int> channelOf_; // by name
    std::vector<bool> changed_;     // since the traces were last placed
    QList<QList<std::shared_ptr<const SacObject>>> placed_;
    QDateTime axisStart_;
    bool placedNormalised_ = false;
    bool backfilling_ = false;
    std::vector<waitingPacket> waiting_;
    QString backfillProblem_;
    QString connectionProblem_;
    QStringList refused_;
};
