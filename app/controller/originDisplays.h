#pragma once

#include "displaySettings.h"
#include "homeLocation.h"
#include "mapDistanceRings.h"
#include "seismicOrigin.h"
#include "timeLineDataSource.h"
#include "timeLineDates.h"

#include <QColor>
#include <QDateTime>
#include <QObject>
#include <QPointF>
#include <QVariantMap>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QVRStemTimeLineView;
class geoMapView;
class originStore;
class plateBoundaryController;
class serialOperationQueue;

// Turns the visible origins and the display settings into what the map and the time line
// show: the map's look, plate boundaries, symbols (with the origin of each) and tooltips, the
// time line's ranges and plot area, and the status texts about the list. It needs the two
// views and nothing else of the windows, so the command line draws with it too.
//
// Lives on the main thread with the views; the views' symbol layers are drawn on a worker
// queue of its own, from copies, and handed back to the views by queued call.
class originDisplays : public QObject, public timeLineDataSource {
    Q_OBJECT
public:
    // What the windows' display fields hold.
    using displaySettings = ::displaySettings;
    // The settings keys of the three age colours, recent first.
    static constexpr std::array<const char*, 3> ageColorKeys = {"recentColor", "olderColor",
                                                                "oldestColor"};
    // The settings the windows open with: the user's values (else the registered ones), and the
    // map on the whole globe from 0° to 360°.
    static displaySettings defaultSettings();

    // The displays show the origins of `origins` and follow its changes; `settings` is read
    // whenever the displays are fed, so that they follow the fields as they stand.
    originDisplays(geoMapView& map, QVRStemTimeLineView& timeLine, const originStore& origins,
                   std::function<displaySettings()> settings);
    ~originDisplays() override;

    // "Now" for ages; the wall clock unless the caller fixes it.
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

    // The map as it opens: title, no tracking or time stamp, picture and plate boundaries
    // shown, the age colours, the settings' limits and the default picture.
    void setUpMap();
    void createMapPoints();
    void updateDisplays();
    // The age (or depth) colours into the map's own colour list, then the symbols and
    // displays again.
    void updateColors();
    // Rings at `radiusKm` and twice that around the click filter's point (longitude,
    // latitude), until cleared.
    void showDistanceRings(QPointF lonLat, float radiusKm);
    void clearDistanceRings();
    // The home place of the settings, which the map marks.
    static std::optional<QPointF> homeLocation() { return ::homeLocation(); }
    // The picture the map opens with.
    static constexpr int defaultPictureIndex = 2;
    // Picture `index` of the picture menu; none loads the default picture.
    void changeMapImage(std::optional<int> index);
    void setTimeLineDates(const timeLineDates& span);
    // "unitsIndex", "recentTimeCutoff" and "oldTimeCutoff".
    QVariantMap communicateColorDisplayTimeInfo() const;

    // The symbol's text under `widgetPosition` of the map (the topmost symbol), or none.
    QString mapToolTipAt(QPointF widgetPosition) const;
    // The status bar's line about the newest origin of a list refreshed at `refreshedAt`.
    QString latestEventText(const seismicOrigin& latest, const QDateTime& refreshedAt) const;
    // The status bar's line about a list kept from an earlier run, loaded at `loadedAt`.
    QString keptListMessage(const QDateTime& loadedAt, bool offline) const;

    // --- the time line's source
    int countOfVisibleEvents() override;
    std::shared_ptr<seismicOrigin> visibleOriginAtIndex(int index) override;
    const originList& allSeismicOrigins() override;
    void communicateMapRect() override;
    void communicateMinDisplayMagnitude() override;

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    QDateTime now() const { return clock_(); }
    void applySymbolColors(const displaySettings& s);
    // The visible origins changed: symbols, the filter's rings and both views again.
    void showVisibleOrigins();
    // The filter's rings: at its radius and twice that.
    static mapDistanceRings ringsAround(QPointF lonLat, float radiusKm);

    geoMapView& map_;
    QVRStemTimeLineView& timeLine_;
    const originStore& origins_;
    std::function<displaySettings()> settings_;
    std::function<QDateTime()> clock_ = [] { return QDateTime::currentDateTimeUtc(); };
    std::unique_ptr<plateBoundaryController> plates_;
    originList mapPointOrigins_; // the origin of each map symbol, in drawing order
    // Draws the map's and the time line's symbol layers in the background.
    std::unique_ptr<serialOperationQueue> layers_;
};
