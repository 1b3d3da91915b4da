#pragma once

#include "QVRRTSeismicDisplayController.h"
#include "liveTraces.h"
#include "seismicOrigin.h"
#include "seismogramDataSource.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <optional>

class QVRRealTimeDisplayView02;
class liveStream;
class QWidget;

namespace Ui {
class liveSeismogramsWindow;
}

// The Live Seismograms window: the channel list and the request in fields kept between runs,
// Load, Live and Stop, and the traces of the latest load in the real-time view, marked with
// the main window's visible earthquakes. The downloads themselves belong to the application's
// one download controller. Live streams from a SeedLink server when the source has one (a
// SeedLink server, or a data centre that runs one), the window ending now and moving with the
// clock; with the time-series service it reloads every so many minutes instead.
class liveSeismogramsController : public QObject {
    Q_OBJECT
public:
    // Six long-running global broadband stations, one a line.
    static QString defaultChannelList();

    explicit liveSeismogramsController(QVRRTSeismicDisplayController& downloads,
                                       QObject* parent = nullptr);
    ~liveSeismogramsController() override;

    QWidget* window() const { return window_.get(); }
    Ui::liveSeismogramsWindow& interface() { return *ui_; }
    QVRRealTimeDisplayView02* view() const;
    void showWindow();

    // Fetches the channels once, for the window the fields describe.
    void load();
    // Live updates: the window ends now, and the channels are fetched again every interval.
    void setLive(bool on);
    bool isLive() const;
    // Cancels every download and the live updates.
    void stop();
    // The stream of a live window from a SeedLink server.
    liveStream& stream() { return *stream_; }
    bool isStreaming() const;

    // The source the window's choice names; none for a typed address that is no http(s) one.
    std::optional<seismogramDataSource> chosenDataSource() const;
    // Why Live cannot run with `source`; null text when it can.
    static QString liveUnavailableReason(const seismogramDataSource& source);
    // The base address of the data centre that keeps what `source`'s SeedLink server no longer
    // holds; null text when none is known.
    static QString olderPartCentre(const seismogramDataSource& source);

    // How often at most the streaming display redraws.
    static constexpr int displayIntervalMs = 100;

    // The earthquakes to mark: the main window's visible origins after each load or filter.
    void setVisibleOrigins(const originList& origins);

    // "Now" for live windows; the wall clock unless a test fixes it.
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

private:
    void restoreFields();
    void keepDataSource() const;
    // Enables what the chosen source uses, and says why Live is off when it is.
    void showDataSource();
    void keepFields() const;
    void showTraces();
    void showStatus();
    // The channel list with the window's corners, and why there is none.
    QVRRTSeismicDisplayController::channelListContents
    channelList(const QVRRTSeismicDisplayController::channelDescription& working) const;
    void startStream(const seismogramDataSource& source);
    // The streaming display at the clock's moment: what changed since the last redraw.
    void showStream();
    bool eventFilter(QObject* watched, QEvent* event) override;

    QVRRTSeismicDisplayController& downloads_;
    std::unique_ptr<Ui::liveSeismogramsWindow> ui_;
    std::unique_ptr<QWidget> window_;
    QTimer liveTimer_;
    std::unique_ptr<liveStream> stream_;
    QTimer displayTimer_;        // redraws a streaming window while it runs
    bool streamShown_ = false;   // the view shows the stream rather than a load
    bool streamChanged_ = false; // samples or status came since the last redraw
    QDateTime streamDrawn_;      // the clock's moment of the last redraw
    liveTraces::window shown_;   // the window of the load on display
    QString loadProblem_;        // a load that could not be asked for, and why
    QString fdsnCentre_;         // the data centre the load on its way asks; null for time series
    int askedChannels_ = 0;      // the channels it asks for
    // Each loaded seismogram placed in that window, so that an arrival places only itself; the
    // source is held too, so that its address cannot pass to another seismogram meanwhile.
    struct placedSeismogram {
        std::shared_ptr<SacObject> source;
        std::shared_ptr<const SacObject> placed;
    };
    QHash<const SacObject*, placedSeismogram> placed_;
    std::function<QDateTime()> clock_ = [] { return QDateTime::currentDateTimeUtc(); };
};
