#pragma once

#include "QVRResult.h"
#include "SacObject.h"
#include "seedLinkClient.h"
#include "seismogramDataSource.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <mutex>

class fdsnDataRequest;
class serialOperationQueue;

// Turns a channel list into requests to the time-series web service and downloads the
// seismograms in SAC form, one at a time on a worker thread; each is de-meaned, tapered,
// filtered and labelled there, then handed to the main thread. With an FDSN data centre as the
// source, a load is one job instead: one bulk dataselect and one station request for all its
// channels (fdsnDataRequest).
//
// A channel list has one channel a line: "network; station; location; channel; label" and,
// optionally, "; high-pass Hz; low-pass Hz". A line "Title; text" names the list.
//
// The controller keeps the seismograms of the latest load in channel-list order: the first
// outcome of a new load (a seismogram or a failure) replaces the previous load's seismograms
// and failures, so a display keeps its traces while the next load is on its way.
//
// To wait for a load from code that has no event loop of its own, run a local QEventLoop
// until isUpdatingSeismogramsChanged(false) (when isUpdatingSeismograms() is still true).
class QVRRTSeismicDisplayController : public QObject {
    Q_OBJECT
public:
    // A channel's request, every value text. The keys are those of the channel lists:
    // "StartTime" ("yyyy-MM-dd HH:mm:ss"), "Duration" (minutes; negative ends the window at
    // the start time), "SampleRate" (a number, or "*" to choose by the channel code),
    // "HPCornerHz", "LPCornerHz" (negative: no filter), "Network", "StationID",
    // "LocationCode", "ChannelID" and "SeismogramLabel".
    using channelDescription = QMap<QString, QString>;

    struct channelListContents {
        QString title; // the text of the last "Title" line; null when there is none
        QList<channelDescription> channels;
    };

    explicit QVRRTSeismicDisplayController(QObject* parent = nullptr);
    // Cancels the downloads and waits for the running one to give up.
    ~QVRRTSeismicDisplayController() override;

    // The description every list starts from: 60 minutes from 2012-05-01 00:00:00 at 1 sample
    // per second.
    static channelDescription fixedWorkingDescription();
    // Reads a channel list. `working` is the description every line starts from; the corners
    // come from `defaults` when it holds two entries or more, else they are -0.005 and -0.05
    // Hz, and a line's own corners win. Lines with fewer than five fields are skipped.
    static channelListContents readChannelList(const QString& text,
                                               const channelDescription& defaults,
                                               channelDescription working);

    // Queues one download per channel line of `channelList`, read from the fixed description.
    void loadSeismogramsFromChannelList(const QString& channelList,
                                        const channelDescription& defaults);
    // Queues one download per channel of `list`, in order, as one load, and takes its title.
    void loadChannelList(const channelListContents& list);
    // Kept for callers of the list interface; it does nothing.
    void loadSeismgramsForList(const QStringList& list);

    // The request for one channel, logged.
    QString buildURLForChannel(const channelDescription& channel) const;
    // The window a channel asks for: from its start time, or from now when auto-updating, for
    // its duration (a negative one ends there). With `capped`, no longer than the time-series
    // service's 86,400 samples at the rate value.
    std::pair<QDateTime, QDateTime> requestWindow(const channelDescription& channel,
                                                  bool capped) const;
    // The FDSN load of `channels` from the data source's centre.
    fdsnDataRequest fdsnRequestFor(const QList<channelDescription>& channels) const;
    // The channels a SeedLink stream asks for, each once.
    static QList<seedLinkChannel> seedLinkChannelsFor(const QList<channelDescription>& channels);
    // "yyyy-MM-ddTHH:mm:ss" in the default zone; null text for an invalid date.
    static QString formatDateAsString(const QDateTime& date);
    // The same as a request prints it: an invalid date reads "(null)".
    static QString printedDate(const QDateTime& date);

    // Downloads, reads, filters and labels one channel's seismogram; the reason when there is
    // none (no answer, no data, bytes that are not SAC, a cancellation). Runs on the worker.
    QVRResult<SacObject> downloadSeismogramWithURL(const channelDescription& channel,
                                                   const std::atomic<bool>* cancelled = nullptr);
    // Removes the mean, tapers, then high- and low-passes at the description's corners when
    // they are positive and below Nyquist; the settings "causal_filter" (one pass, else two)
    // and "nfilter_poles" choose the filter.
    static void filterSeismogram(SacObject& seismogram, const channelDescription& channel);
    // The body at `address`, fetched with the program's user agent and the time-out.
    QVRResult<QByteArray>
    getHTTPDataWithCustomUserAgent(const QString& address,
                                   const std::atomic<bool>* cancelled = nullptr);

    // True when `operations` is not empty.
    static bool hasActiveOperations(const QStringList& operations);
    // The queue's operations: the running one first, named by channel.
    QStringList operations() const;

    void startActivityIndicator();
    void stopActivityIndicator();
    // Drops the waiting downloads and aborts the running one; nothing is delivered for them.
    void cancelAllOperations();

    QString userAgent() const;
    void setUserAgent(const QString& userAgent);

    // Where the next loads ask; the time-series service unless set. A SeedLink source is for
    // live streams and loads nothing here.
    const seismogramDataSource& dataSource() const { return dataSource_; }
    void setDataSource(const seismogramDataSource& source) { dataSource_ = source; }
    // For FDSN loads: samples divided by each channel's scale, in its units; else counts.
    bool groundMotion() const { return groundMotion_; }
    void setGroundMotion(bool on) { groundMotion_ = on; }

    // When set, each request's window ends (or starts) at the moment it is sent.
    bool isAutoUpdatingSeismograms() const { return autoUpdating_; }
    void setIsAutoUpdatingSeismograms(bool on) { autoUpdating_ = on; }
    // True while the queue holds operations; changed on the main thread only.
    bool isUpdatingSeismograms() const { return updating_; }

    int downloadTimeoutMs() const { return downloadTimeoutMs_; }
    void setDownloadTimeoutMs(int ms) { downloadTimeoutMs_ = ms; }

    // The latest load's seismograms in channel-list order, with their descriptions.
    const QList<std::shared_ptr<SacObject>>& theSeismograms() const { return theSeismograms_; }
    const QList<channelDescription>& theChannels() const { return theChannels_; }
    // Kept for callers that collect several loads; the controller leaves them empty.
    const QList<QList<std::shared_ptr<SacObject>>>& theSeismogramArrays() const {
        return theSeismogramArrays_;
    }
    const QList<QString>& theChannelLists() const { return theChannelLists_; }
    // The latest load's failures, "IU.KONO.00.BHZ: HTTP 404", in channel-list order.
    const QStringList& channelFailures() const { return channelFailures_; }
    // Why the latest load failed as a whole (an FDSN request that was refused), when it did;
    // the seismograms of the load before stay. Null text otherwise.
    const QString& loadFailure() const { return loadFailure_; }
    // The title of the last list loaded; null when it had none.
    const QString& listTitle() const { return listTitle_; }

    // "IU.KONO.00.BHZ" for a description.
    static QString channelName(const channelDescription& channel);
    // The description's location code; empty when blank, however the list wrote it.
    static QString locationCode(const channelDescription& channel);

Q_SIGNALS:
    // A seismogram arrived (on the main thread), already in theSeismograms().
    void seismogramLoaded(const std::shared_ptr<SacObject>& seismogram,
                          const QVRRTSeismicDisplayController::channelDescription& channel);
    // A channel gave no seismogram; `reason` reads "IU.KONO.00.BHZ: HTTP 404".
    void seismogramFailed(const QString& reason,
                          const QVRRTSeismicDisplayController::channelDescription& channel);
    // theSeismograms() changed: a seismogram arrived, or a new load replaced the old ones.
    void seismogramsChanged();
    // A load failed as a whole; `reason` is also loadFailure().
    void loadFailed(const QString& reason);
    void isUpdatingSeismogramsChanged(bool updating);
    void listTitleChanged(const QString& title);

private:
    void operationsChanged();
    void setUpdating(bool updating);
    void deliver(int load, const channelDescription& channel, QVRResult<SacObject>& result);
    void deliverLoadFailure(int load, const QString& reason);
    void queueFdsnLoad(int load, const QList<channelDescription>& channels);
    // Filters and labels a downloaded seismogram, on the worker.
    static void finish(SacObject& seismogram, const channelDescription& channel);
    QByteArray requestUserAgent();

    std::unique_ptr<serialOperationQueue> queue_;
    std::atomic<bool> autoUpdating_{false};
    seismogramDataSource dataSource_;
    bool groundMotion_ = false;
    bool updating_ = false;
    std::atomic<int> downloadTimeoutMs_{30000};
    // Written on the worker, read anywhere.
    mutable std::mutex userAgentMutex_;
    QString userAgent_;

    // Loads are numbered; the queue runs them in order, a load's channels in list order, so
    // outcomes arrive in channel-list order and a higher number means a newer load.
    int queuedLoad_ = 0;
    int shownLoad_ = 0; // the load theSeismograms() belong to
    QList<std::shared_ptr<SacObject>> theSeismograms_;
    QList<channelDescription> theChannels_;
    QList<QList<std::shared_ptr<SacObject>>> theSeismogramArrays_;
    QList<QString> theChannelLists_;
    QStringList channelFailures_;
    QString loadFailure_;
    QString listTitle_;
};
