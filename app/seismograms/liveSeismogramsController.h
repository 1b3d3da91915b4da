#pragma once

#include "liveTraces.h"
#include "seismicOrigin.h"
#include "seismogramDataSource.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>
#include <optional>

class QVRRTSeismicDisplayController;
class QVRRealTimeDisplayView02;
class QWidget;

namespace Ui {
class liveSeismogramsWindow;
}

// The Live Seismograms window: the channel list and the request in fields kept between runs,
// Load, Live (reload every so many minutes with the window ending now) and Stop, and the
// traces of the latest load in the real-time view, marked with the main window's visible
// earthquakes. The downloads themselves belong to the application's one download controller.
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
    bool isLive() const { return liveTimer_.isActive(); }
    // Cancels every download and the live updates.
    void stop();

    // The source the window's choice names; none for a typed address that is no http(s) one.
    std::optional<seismogramDataSource> chosenDataSource() const;
    // Why Live cannot run with `source`; null text when it can.
    static QString liveUnavailableReason(const seismogramDataSource& source);

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
    bool eventFilter(QObject* watched, QEvent* event) override;

    QVRRTSeismicDisplayController& downloads_;
    std::unique_ptr<Ui::liveSeismogramsWindow> ui_;
    std::unique_ptr<QWidget> window_;
    QTimer liveTimer_;
    liveTraces::window shown_; // the window of the load on display
    QString loadProblem_;      // a load that could not be asked for, and why
    QString fdsnCentre_;       // the data centre the load on its way asks; null for time series
    int askedChannels_ = 0;    // the channels it asks for
    // Each loaded seismogram placed in that window, so that an arrival places only itself; the
    // source is held too, so that its address cannot pass to another seismogram meanwhile.
    struct placedSeismogram {
        std::shared_ptr<SacObject> source;
        std::shared_ptr<const SacObject> placed;
    };
    QHash<const SacObject*, placedSeismogram> placed_;
    std::function<QDateTime()> clock_ = [] { return QDateTime::currentDateTimeUtc(); };
};
