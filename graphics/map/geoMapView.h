#pragma once

#include "QVRCircleStamps.h"
#include "QVRImageView.h"
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

    pointList& thePoints() { return thePoints_; }
    void setThePoints(const pointList& points) { thePoints_ = points; }
    QList<QColor>& theColors() { return theColors_; }
    void setTheColors(const QList<QColor>& colors) { theColors_ = colors; }
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
    void setOutlinePointsWithNoData(bool on) { outlinePointsWithNoData_ = on; }
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
    // A symbol drawn once into a small picture and then stamped: thousands of antialiased
    // circles cost far more than as many small blits. Vector devices (PDF) get real circles.
    const QImage& symbolSprite(const QColor& fill, bool filled, const QColor& outline,
                               double radius);

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
    QString pictureDirectory_;
    QString topographyDirectory_;
};
