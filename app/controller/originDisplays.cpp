#include "originDisplays.h"

#include "QVRDateFormatter.h"
#include "QVRStemTimeLineView.h"
#include "geoMapView.h"
#include "lenientNumbers.h"
#include "mapColorLists.h"
#include "mapFeeding.h"
#include "originStore.h"
#include "plateBoundaryController.h"
#include "quorvelLogging.h"
#include "serialOperationQueue.h"
#include "userDefaults.h"

#include <QHelpEvent>
#include <QLineF>
#include <QToolTip>

#include <cmath>
#include <utility>

originDisplays::displaySettings originDisplays::defaultSettings() {
    const userDefaults& defaults = userDefaults::standardUserDefaults();
    // Read as the fields bound to these keys read their texts.
    auto number = [&defaults](const char* key) {
        return leadingFloat(defaults.stringForKey(QString::fromLatin1(key)));
    };
    displaySettings s;
    s.symbolScale = number("symbolsSizeFactor");
    s.recentCutoff = number("redTimeRange");
    s.olderCutoff = number("orangeTimeRange");
    s.timeUnitIndex =
        std::clamp(defaults.objectForKey(QStringLiteral("timeUnitsIndex")).toInt(), 0, 4);
    s.minMagnitude = number("minMagnitude");
    s.maxMagnitude = number("maxMagnitude");
    for (std::size_t i = 0; i < ageColorKeys.size(); ++i)
        s.ageColors[i] =
            QColor::fromString(defaults.stringForKey(QString::fromLatin1(ageColorKeys[i])));
    const QColor plate = QColor::fromString(defaults.stringForKey(QStringLiteral("plateColor")));
    s.plateColor = plate.isValid() ? plate : QColor(Qt::white);
    s.showLegend = defaults.boolForKey(QStringLiteral("showMapLegend"));
    s.colorByDepth = defaults.boolForKey(QStringLiteral("colorByDepth"));
    return s;
}

originDisplays::originDisplays(geoMapView& map, QVRStemTimeLineView& timeLine,
                               const originStore& origins,
                               std::function<displaySettings()> settings)
    : map_(map)
    , timeLine_(timeLine)
    , origins_(origins)
    , settings_(std::move(settings))
    , layers_(std::make_unique<serialOperationQueue>([] {})) {
    map_.installEventFilter(this);
    connect(&origins, &originStore::visibleOriginsChanged, this,
            &originDisplays::showVisibleOrigins);
    // The symbols of a new list are stamped on a worker, so that the window's paint pass only
    // lays them over the picture and the grid.
    const auto runner = [this](std::function<void()> drawing) {
        layers_->addOperation(
            QStringLiteral("symbol layer"),
            [drawing = std::move(drawing)](const std::atomic<bool>&) { drawing(); });
    };
    map_.setLayerRunner(runner);
    timeLine_.setLayerRunner(runner);
}

const originList& originDisplays::allSeismicOrigins() {
    return origins_.allOrigins();
}

void originDisplays::showVisibleOrigins() {
    // The rings mark the map filter's reach; no such filter, no rings.
    // The views repaint once, when updateDisplays has their new symbols.
    if (const auto& filter = origins_.filter();
        filter && filter->what == originStore::clickFilter::kind::distance)
        map_.setDistanceRings(ringsAround(filter->lonLat, filter->radiusKm));
    else
        map_.setDistanceRings({});
    createMapPoints();
    updateDisplays();
}

originDisplays::~originDisplays() {
    // The views outlive the worker that draws their layers; nothing of it may reach them.
    map_.setLayerRunner({});
    timeLine_.setLayerRunner({});
    layers_.reset();
}

void originDisplays::setUpMap() {
    map_.setTitleFontSize(18);
    map_.setTitleColor(QColor::fromRgbF(1.0 / 3, 1.0 / 3, 1.0 / 3));
    map_.set_trackMouse(false);
    map_.set_timeStamp(false);
    map_.setHideImage(false);
    map_.setShowPlates(true);
    updateColors();
    map_.setPlateBoundaryColor(QColor::fromRgbF(1.0, 1.0, 1.0, 0.75));

    plates_ = std::make_unique<plateBoundaryController>();
    plates_->loadBirdPlateBoundaries();
    map_.addAPolygonSet(plates_->boundaries());

    const displaySettings s = settings_();
    map_.setYLimits(s.mapSouth, s.mapNorth);
    map_.setXLimits(s.mapWest, s.mapEast);
    changeMapImage(std::nullopt);
}

void originDisplays::applySymbolColors(const displaySettings& s) {
    QList<QColor>& colors = map_.theColors();
    colors.clear();
    if (s.colorByDepth)
        colors = mapColorLists::depthColors();
    else
        colors = QList<QColor>(s.ageColors.begin(), s.ageColors.end());
}

void originDisplays::createMapPoints() {
    // The visible origins are new or refiltered whenever the symbols are made again.
    timeLine_.eventsDidChange();
    const displaySettings s = settings_();
    applySymbolColors(s);
    const originList& visible = origins_.visibleOrigins();
    if (visible.isEmpty())
        return;
    geoMapView::pointList& points = map_.thePoints();
    points.clear();
    mapPointOrigins_.clear();
    const double unit = mapFeeding::timeUnitSeconds(s.timeUnitIndex);
    const QDateTime t = now();
    // Oldest first, so that the newest symbols are painted on top.
    for (qsizetype i = visible.size() - 1; i >= 0; --i) {
        const auto& origin = visible.at(i);
        auto point = mapFeeding::mapPointForOrigin(*origin, s.symbolScale, t, unit, s.recentCutoff,
                                                   s.olderCutoff);
        if (s.colorByDepth)
            point->setColorIndex(mapColorLists::depthClass(origin->depth()));
        points.append(point);
        mapPointOrigins_.append(origin);
    }
}

void originDisplays::updateDisplays() {
    const displaySettings s = settings_();
    map_.setYLimits(s.mapSouth, s.mapNorth);
    map_.setXLimits(s.mapWest, s.mapEast);
    QColor plates = s.plateColor;
    plates.setAlphaF(0.75f);
    map_.setPlateBoundaryColor(plates);
    if (s.showLegend)
        map_.setLegend(mapFeeding::legendFor({.byDepth = s.colorByDepth,
                                              .ageColors = s.ageColors,
                                              .recentCutoff = s.recentCutoff,
                                              .olderCutoff = s.olderCutoff,
                                              .timeUnitIndex = s.timeUnitIndex,
                                              .symbolScale = s.symbolScale}));
    else
        map_.setLegend(std::nullopt);
    map_.setHomeLocation(homeLocation());
    map_.computeRects();
    // New symbols are drawn on the worker first; the views repaint when they arrive.
    if (!map_.drawSymbolLayerInBackground())
        map_.update();
    communicateMapRect();
    communicateMinDisplayMagnitude();

    timeLine_.setSymbolScaleFactor(s.symbolScale);
    const float unit = float(mapFeeding::timeUnitSeconds(s.timeUnitIndex));
    timeLine_.setYellowTimeRange(double(s.olderCutoff * unit));
    timeLine_.setOrangeTimeRange(double(s.recentCutoff * unit));
    timeLine_.setMinMag(s.minMagnitude);
    timeLine_.setMaxMag(s.maxMagnitude);
    timeLine_.setColorByDepth(s.colorByDepth);
    if (!timeLine_.drawEventLayerInBackground())
        timeLine_.update();
}

void originDisplays::updateColors() {
    createMapPoints();
    updateDisplays();
}

mapDistanceRings originDisplays::ringsAround(QPointF lonLat, float radiusKm) {
    return {lonLat, {radiusKm, 2 * radiusKm}};
}

void originDisplays::showDistanceRings(QPointF lonLat, float radiusKm) {
    map_.setDistanceRings(ringsAround(lonLat, radiusKm));
    map_.update();
}

void originDisplays::clearDistanceRings() {
    map_.setDistanceRings({});
    map_.update();
}

void originDisplays::changeMapImage(std::optional<int> index) {
    if (index) {
        map_.loadImageWithIndex(*index);
    } else {
        qCInfo(lcController) << "Loading default image.";
        map_.loadImageWithIndex(defaultPictureIndex);
    }
    updateDisplays();
}

void originDisplays::setTimeLineDates(const timeLineDates& span) {
    if (span.start.isValid())
        timeLine_.setStartDate(span.start);
    if (span.end.isValid())
        timeLine_.setEndDate(span.end);
}

QVariantMap originDisplays::communicateColorDisplayTimeInfo() const {
    const displaySettings s = settings_();
    return {{QStringLiteral("unitsIndex"), s.timeUnitIndex},
            {QStringLiteral("recentTimeCutoff"), s.recentCutoff},
            {QStringLiteral("oldTimeCutoff"), s.olderCutoff}};
}

int originDisplays::countOfVisibleEvents() {
    return int(origins_.visibleOrigins().size());
}

std::shared_ptr<seismicOrigin> originDisplays::visibleOriginAtIndex(int index) {
    const originList& visible = origins_.visibleOrigins();
    if (index < 0 || index >= visible.size())
        return nullptr;
    return visible.at(index);
}

void originDisplays::communicateMapRect() {
    timeLine_.setPlotBounds(map_.mapRect());
}

void originDisplays::communicateMinDisplayMagnitude() {
    const displaySettings s = settings_();
    timeLine_.setMinMag(s.minMagnitude);
    timeLine_.setMaxMag(s.maxMagnitude);
}

QString originDisplays::mapToolTipAt(QPointF widgetPosition) const {
    const QPointF at = map_.viewPointForWidgetPosition(widgetPosition);
    const auto& points = std::as_const(map_).thePoints();
    // The last symbol drawn lies on top.
    for (qsizetype i = std::min(points.size(), mapPointOrigins_.size()) - 1; i >= 0; --i) {
        const QPointF centre = map_.viewPointForLonLat(points.at(i)->lon(), points.at(i)->lat());
        const double reach = std::max(4.0, 12.0 * points.at(i)->symbolSize());
        if (QLineF(centre, at).length() > reach)
            continue;
        const seismicOrigin& o = *mapPointOrigins_.at(i);
        static const QVRDateFormatter originTime(QStringLiteral("yyyy-MM-dd HH:mm:ss"),
                                                 QTimeZone::utc());
        return QStringLiteral("M %1  %2\n%3 UTC, %4 ago")
            .arg(QString::asprintf("%.1f", double(o.magnitude())), o.shownRegionString(),
                 originTime.stringFromDate(o.originDateTime()), o.originTimeSinceNow(now()));
    }
    return {};
}

QString originDisplays::latestEventText(const seismicOrigin& latest,
                                        const QDateTime& refreshedAt) const {
    static const QVRDateFormatter clockTime(QStringLiteral("HH:mm:ss"), QTimeZone::utc());
    return tr("Latest: M %1 %2, %3 ago · refreshed %4 UTC")
        .arg(QString::asprintf("%.1f", double(latest.magnitude())), latest.shownRegionString(),
             latest.originTimeSinceNow(now()), clockTime.stringFromDate(refreshedAt));
}

QString originDisplays::keptListMessage(const QDateTime& loadedAt, bool offline) const {
    const qint64 minutes = std::max<qint64>(0, loadedAt.secsTo(now()) / 60);
    const QString age = minutes == 1    ? tr("1 minute old")
                        : minutes < 120 ? tr("%1 minutes old").arg(minutes)
                                        : tr("%1 hours old").arg(minutes / 60);
    static const QVRDateFormatter dayAndTime(QStringLiteral("yyyy-MM-dd HH:mm"), QTimeZone::utc());
    const QString at = dayAndTime.stringFromDate(loadedAt);
    return offline ? tr("Offline: showing the events loaded at %1 UTC (%2)").arg(at, age)
                   : tr("Showing the events loaded at %1 UTC (%2) while loading").arg(at, age);
}

bool originDisplays::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &map_ && event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString text = mapToolTipAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, &map_);
        return true;
    }
    return QObject::eventFilter(watched, event);
}
