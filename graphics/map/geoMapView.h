#pragma once

#include "QVRCircleStamps.h"
#include "QVRImageView.h"
#include "QVRKeptLayer.h"
#include "QVRPolygon.h"
#include "geoMapPoint.h"
#include "geoMapVector.h"
#include "mapDistanceRings.h"
#include "mapLegend.h"
#include "qvr_graphics_export.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>

#include <functional>
#include <memory>
#include <optional>

// A longitude–latitude map (x longitude, y latitude, degrees) at true scale along its middle
// latitude: an optional picture of the Earth, degree axes, plate boundaries, earthquake
// symbols and vectors, distance rings, a home marker, a legend, a title and an optional time
// stamp.
class QVR_GRAPHICS_EXPORT geoMapView : public QVRImageView {
    Q_OBJECT
public:
    using pointList = QList<std::shared_ptr<geoMapPoint>>;
    using vectorList = QList<std::shared_ptr<geoMapVector>>;
    using polygonList = QList<std::shared_ptr<QVRPolygon>>;

    explicit geoMapView(QWidget* parent = nullptr);

    // The symbols and their colours. Taking either for change marks the drawn symbols as
    // changed; a caller that changes them later through a reference it kept says so with
    // pointsDidChange().
    pointList& thePoints() {
        pointsDidChange();
        return thePoints_;
    }
    const pointList& thePoints() const { return thePoints_; }
    void setThePoints(const pointList& points) {
        pointsDidChange();
        thePoints_ = points;
    }
    QList<QColor>& theColors() {
        pointsDidChange();
        return theColors_;
    }
    const QList<QColor>& theColors() const { return theColors_; }
    void setTheColors(const QList<QColor>& colors) {
        pointsDidChange();
        theColors_ = colors;
    }
    // The kept layer of drawn symbols is stale.
    void pointsDidChange() { symbolLayer_.changed(); }
    // On pixel devices the drawn symbols are kept as a layer while they, the map's limits, its
    // box and the device stay the same; off, every frame stamps them afresh.
    bool _keepSymbolLayer() const { return keepSymbolLayer_; }
    void set_keepSymbolLayer(bool on) {
        keepSymbolLayer_ = on;
        symbolLayer_.drop();
    }
    // Where a stale symbol layer is drawn instead of in the paint pass: `runner` runs the
    // work it is given on a worker; none (the default) draws it in the paint pass. Its owner
    // keeps it working, or stops it, while the map lives.
    void setLayerRunner(std::function<void(std::function<void()>)> runner) {
        symbolLayer_.setRunner(std::move(runner));
    }
    // With a runner, has a stale symbol layer for the map as it stands drawn on it, and
    // repaints when it arrives; until then the window shows the symbols it showed. False,
    // with nothing started, when there is no runner, the map has not been shown or the layer
    // is current: the caller repaints as before.
    bool drawSymbolLayerInBackground();
    vectorList& theVectors() { return theVectors_; }
    void setTheVectors(const vectorList& vectors) { theVectors_ = vectors; }
    void addTheVector(const std::shared_ptr<geoMapVector>& v) { theVectors_.append(v); }
    void removeTheVector(const std::shared_ptr<geoMapVector>& v) { theVectors_.removeAll(v); }
    QList<polygonList>& thePolygonSets() { return thePolygonSets_; }
    void addAPolygonSet(const polygonList& set) { thePolygonSets_.append(set); }

    // 0 centres the map box vertically, 1 puts it at the top, 2 at the bottom.
    int vAlignPlot() const { return vAlignPlot_; }
    void setVAlignPlot(int v) { vAlignPlot_ = v; }
    bool showPlates() const { return showPlates_; }
    void setShowPlates(bool on) { showPlates_ = on; }
    bool outlinePointsWithNoData() const { return outlinePointsWithNoData_; }
    void setOutlinePointsWithNoData(bool on) {
        outlinePointsWithNoData_ = on;
        pointsDidChange();
    }
    const QColor& plateBoundaryColor() const { return plateBoundaryColor_; }
    void setPlateBoundaryColor(const QColor& c) { plateBoundaryColor_ = c; }
    // Drawn in the bottom-left corner of the map box; none hides it.
    const std::optional<mapLegend>& legend() const { return legend_; }
    void setLegend(std::optional<mapLegend> legend) { legend_ = std::move(legend); }
    const mapDistanceRings& distanceRings() const { return distanceRings_; }
    void setDistanceRings(const mapDistanceRings& rings) { distanceRings_ = rings; }
    // Longitude and latitude (degrees) of the user's home; none draws no marker.
    const std::optional<QPointF>& homeLocation() const { return homeLocation_; }
    void setHomeLocation(std::optional<QPointF> lonLat) { homeLocation_ = lonLat; }

    void buildGrayScaleColorsNLevels(int levels);
    void buildNoGreenColorTable();
    void buildSeisColorTable();
    void buildPolarColorTable();

    // The map box as last laid out.
    QRectF mapRect() const { return iRect(); }
    // Where a longitude and latitude fall in the view (y up); with `wrap`, negative
    // longitudes move by 360° on maps that run past 180°.
    QPointF viewPointForLonLat(float lon, float lat, bool wrap = true) const;
    // The same for a map box `r` (y up) with the given limits.
    static QPointF viewPointFor(float lon, float lat, bool wrap, const QRectF& r, float xmin,
                                float xmax, float ymin, float ymax);

    // --- backgrounds
    // 1 "nasa_satellite_wide", 2 "natural_wide", 3 "noaa_image_wide", 4 "living_earth_wide"
    // (all −180…360°), 10 "wusGray" (the western United States); false for other indexes or
    // a picture that is not installed, keeping the current one.
    bool loadImageWithIndex(int index);
    // The file of picture `index` in `directory` (empty: the installed maps folder); null text
    // for an index without a picture.
    static QString picturePath(int index, const QString& directory);
    // Decodes the picture file at `path` into the pictures the maps share, so that a map that
    // loads it later takes it as it is. For any thread: started on a worker before the maps
    // are made, it decodes while they are; a map asking for the same file meanwhile waits for
    // this decode instead of decoding the file a second time.
    static void decodePictureAhead(const QString& path);
    // Where the pictures are looked for: the "maps" folder of the installation (found from
    // the program's own folder) unless set; an empty text restores that default.
    QString pictureDirectory() const;
    void setPictureDirectory(const QString& directory) { pictureDirectory_ = directory; }
    // The ETOPO5 grid "etopo5.i2" of the topography directory, every `step`-th row and column.
    bool loadETOPO5DownSmpl(int step);
    // The picture directory unless set; an empty text restores that default.
    QString topographyDirectory() const;
    void setTopographyDirectory(const QString& directory) { topographyDirectory_ = directory; }
    // A headerless grid of rows × columns 16-bit heights; false (and nothing changed) when the
    // file cannot be read or holds fewer samples.
    bool loadTopoImageFromPath(const QString& path, int rows, int columns, int step);
    QImage getImageOfView() const { return snapshot(); }

    void computeRects() override;
    void drawRect(QPainter& painter, const QRectF& dirtyRect) override;
    void drawAxes() override;
    void drawPoints();
    void drawVectors();
    void drawPolygons();
    void drawDistanceRings();
    void drawHomeMarker();
    void drawLegend();

    // Degrees between ticks for a map `span` degrees wide (0: automatic).
    static float tickSpacingForSpan(float span);

private:
    // Everything the kept symbol layer depends on besides the symbols and their colours.
    struct symbolLayerKey {
        QRectF mapBox;
        float xmin = 0, xmax = 0, ymin = 0, ymax = 0;
        QSize deviceSize;
        QTransform toDevice;
        bool operator==(const symbolLayerKey&) const = default;
    };
    // What the symbols are drawn from: a copy, so that a worker may draw them.
    struct symbolDrawing {
        pointList points;
        QList<QColor> colors;
        bool outlinePointsWithNoData = true;
        QRectF mapBox;
        float xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    };
    symbolDrawing symbolsAsTheyStand() const;
    symbolLayerKey symbolLayerKeyFor(const QSize& deviceSize, const QTransform& toDevice) const;
    // The one routine that draws the symbols, on any device and any thread: each one stamped
    // with `painter`, whose transform takes view points to its device.
    static void stampPoints(QPainter& painter, QVRCircleStamps& stamps, const symbolDrawing& s);
    // The symbols over transparency, covering the map box's device pixels (its top left at
    // the layer's offset).
    static QImage symbolLayerImage(const symbolDrawing& s, const symbolLayerKey& key,
                                   QVRCircleStamps& stamps);
    static QRect symbolLayerBox(const symbolLayerKey& key);

    pointList thePoints_;
    QList<QColor> theColors_;
    vectorList theVectors_;
    QList<polygonList> thePolygonSets_;
    int vAlignPlot_ = 0;
    bool showPlates_ = false;
    bool outlinePointsWithNoData_ = true;
    QColor plateBoundaryColor_ = QColor::fromRgbF(0, 0, 0, 0.5);
    std::optional<mapLegend> legend_;
    mapDistanceRings distanceRings_;
    std::optional<QPointF> homeLocation_;
    QVRCircleStamps symbols_;
    bool keepSymbolLayer_ = true;
    QVRKeptLayer<symbolLayerKey> symbolLayer_;
    QString pictureDirectory_;
    QString topographyDirectory_;
};
