#include "QVRImageView.h"
#include "QVRTextDrawing.h"
#include "geoMapView.h"
#include "paintCounter.h"
#include "pictureDifference.h"
#include "plateBoundaryController.h"
#include "workerThreads.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

// The image pixel under a view point (y up).
QColor pixelAt(const QImage& image, QPointF viewPoint) {
    return image.pixelColor(int(viewPoint.x()), int(image.height() - viewPoint.y()));
}

std::shared_ptr<QVRPolygon> line(std::vector<float> lon, std::vector<float> lat) {
    auto p = std::make_shared<QVRPolygon>();
    p->setNpts(int(lon.size()));
    p->setXp(std::move(lon));
    p->setYp(std::move(lat));
    return p;
}

// The darkest pixel within `reach` pixels of a view point: thin antialiased lines cover their
// pixels only partly.
int darkestNear(const QImage& image, QPointF viewPoint, int reach = 1) {
    int darkest = 255;
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
            darkest =
                std::min(darkest, qGray(image.pixel(int(viewPoint.x()) + dx,
                                                    int(image.height() - viewPoint.y()) + dy)));
    return darkest;
}

// Great-circle distance on the 6371 km sphere by the haversine formula, independent of the
// direct formula the rings are drawn with.
double haversineKm(QPointF a, QPointF b) {
    constexpr double d = std::numbers::pi / 180;
    const double s1 = std::sin((b.y() - a.y()) * d / 2), s2 = std::sin((b.x() - a.x()) * d / 2);
    const double h = s1 * s1 + std::cos(a.y() * d) * std::cos(b.y() * d) * s2 * s2;
    return 2 * 6371.0 * std::asin(std::sqrt(h));
}

std::vector<QVRTextDrawing::drawnText> drawnTexts(const geoMapView& map, QImage* picture) {
    std::vector<QVRTextDrawing::drawnText> recorded;
    QVRTextDrawing::setRecorder(&recorded);
    *picture = map.getImageOfView();
    QVRTextDrawing::setRecorder(nullptr);
    return recorded;
}

const QVRTextDrawing::drawnText* findText(const std::vector<QVRTextDrawing::drawnText>& texts,
                                          const QString& text) {
    for (const auto& t : texts)
        if (t.text == text)
            return &t;
    return nullptr;
}

void setUpWorld(geoMapView& map, float west = -180, float east = 180) {
    map.resize(800, 600);
    map.setXLimits(west, east);
    map.setYLimits(-90, 90);
    map.computeRects();
}

} // namespace

TEST(ImageView, RangesPictureAndXYZExport) {
    QVRImageView view;
    view.resize(400, 300);
    EXPECT_EQ(view.xmax(), 360.0f);
    EXPECT_EQ(view.ymin(), -90.0f);
    view.setXLimits(0, 3);
    view.setYLimits(0, 1);
    ASSERT_TRUE(view.setupImageData(
        std::make_shared<std::vector<float>>(std::vector<float>{-3, 0, 1, 0.5f, 0, 0}), 2, 3));
    EXPECT_EQ(view.minValue(), -3.0f);
    EXPECT_EQ(view.maxValue(), 3.0f); // symmetric about zero
    EXPECT_EQ(view.scaleFactor(), 6.0f);
    EXPECT_EQ(view.anImage().size(), QSize(3, 2));

    QVRImageView flat;
    ASSERT_TRUE(flat.setupImageData(std::make_shared<std::vector<float>>(4, 0.0f), 2, 2));
    EXPECT_EQ(flat.scaleFactor(), 1.0f);
    EXPECT_FALSE(
        flat.setupImageData(std::make_shared<std::vector<float>>(3, 0.0f), 2, 2)); // too few values

    // Shade colours with inversion: the white of the lowest value turns black.
    view.setUseTopoValues(false);
    view.updateImagePlanes();
    EXPECT_EQ(view.anImage().pixelColor(0, 0), QColor(255, 255, 255));
    view.setInverted(true);
    view.updateImagePlanes();
    EXPECT_EQ(view.anImage().pixelColor(0, 0), QColor(0, 0, 0));

    view.computeImagePeakLocation();
    EXPECT_EQ(view.xZmax(), 3.0f); // column 2 of row 0 …
    EXPECT_EQ(view.yZmax(), 1.0f); // … at the top

    QTemporaryDir dir;
    const QString path = dir.filePath("grid.txt");
    ASSERT_TRUE(view.writeXYZToFile(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    EXPECT_EQ(lines.at(0), "# xmin,xmax,dx = 0.000000, 3.000000 1.500000");
    EXPECT_EQ(lines.at(1), "# ymin,ymax,dy = 0.000000, 1.000000 1.000000");
    EXPECT_EQ(lines.at(2), "# zmin,zmax = -3.000000, 1.000000");
    EXPECT_EQ(lines.at(3), "0.000000 1.000000 -3.000000");
    EXPECT_EQ(lines.at(5), "3.000000 1.000000 1.000000");
    EXPECT_EQ(lines.at(6), "0.000000 0.000000 0.500000");
    EXPECT_EQ(lines.size(), 3 + 6 + 1);
    EXPECT_FALSE(QVRImageView().writeXYZToFile(path));

    QVRImageView bare;
    bare.resize(400, 300);
    bare.setShowAxes(false);
    bare.computeRects();
    EXPECT_EQ(bare.iRect(), bare.pRect());
}

TEST(MapView, TrueScaleLayouts) {
    geoMapView map;
    map.setXLimits(-180, 180);
    map.setYLimits(-90, 90);
    map.resize(800, 600);
    map.computeRects();
    EXPECT_NEAR(map.mapRect().x(), 64, 1e-9);
    EXPECT_NEAR(map.mapRect().width(), 704, 1e-9);
    EXPECT_NEAR(map.mapRect().height(), 352, 1e-9);
    EXPECT_NEAR(map.mapRect().y(), 134, 1e-9);
    map.setVAlignPlot(1);
    map.computeRects();
    EXPECT_NEAR(map.mapRect().y(), 50 + 520 - 352, 1e-9);
    map.setVAlignPlot(2);
    map.computeRects();
    EXPECT_NEAR(map.mapRect().y(), 50, 1e-9);

    map.resize(400, 600);
    map.setVAlignPlot(0);
    map.computeRects();
    EXPECT_NEAR(map.mapRect().width(), 304, 1e-9);
    EXPECT_NEAR(map.mapRect().height(), 152, 1e-9);

    EXPECT_EQ(geoMapView::tickSpacingForSpan(20), 10.0f);
    EXPECT_EQ(geoMapView::tickSpacingForSpan(360), 45.0f);
    EXPECT_EQ(geoMapView::tickSpacingForSpan(10), 0.0f);
    EXPECT_EQ(geoMapView::tickSpacingForSpan(60), 15.0f);
    EXPECT_EQ(geoMapView::tickSpacingForSpan(150), 30.0f);
    EXPECT_EQ(geoMapView::tickSpacingForSpan(540), 90.0f);
}

TEST(MapView, PointsPlatesAndWrapInThePicture) {
    geoMapView map;
    map.resize(800, 600);
    map.setXLimits(0, 360);
    map.setYLimits(-90, 90);
    map.computeRects();
    EXPECT_EQ(map.viewPointForLonLat(-170, 0), map.viewPointForLonLat(190, 0));

    map.buildSeisColorTable();
    auto quake = std::make_shared<geoMapPoint>();
    quake->setLatLonDepth(35, -170, 10); // drawn at 190°
    quake->setSymbolSize(1);
    quake->setColorIndex(0);
    map.thePoints().append(quake);
    map.setShowPlates(true);
    map.setPlateBoundaryColor(Qt::blue);
    map.addAPolygonSet({line({100, 120}, {-40, -40})});

    const QImage picture = map.getImageOfView();
    EXPECT_EQ(pixelAt(picture, map.viewPointForLonLat(190, 35)).rgb(), map.theColors().at(0).rgb());
    // A one-point antialiased line covers its pixels partly: blue clearly dominates there.
    const QColor onLine = pixelAt(picture, map.viewPointForLonLat(110, -40));
    EXPECT_GT(onLine.blue() - onLine.red(), 100);
    EXPECT_EQ(pixelAt(picture, map.viewPointForLonLat(140, -40)), QColor(Qt::white));

    // A line across the seam is broken: nothing is drawn across the middle of the map.
    geoMapView world;
    world.resize(800, 600);
    world.setXLimits(-180, 180);
    world.setYLimits(-90, 90);
    world.setShowPlates(true);
    world.setPlateBoundaryColor(Qt::blue);
    world.addAPolygonSet({line({179, 181}, {10, 10})}); // 181 is -179 on this map
    world.computeRects();
    const QImage seam = world.getImageOfView();
    EXPECT_EQ(pixelAt(seam, world.viewPointForLonLat(0, 10, false)), QColor(Qt::white));

    // Index 5 is no picture: the answer is no and nothing changes.
    EXPECT_FALSE(map.loadImageWithIndex(5));
    map.setPictureDirectory(QStringLiteral("/nonexistent"));
    EXPECT_FALSE(map.loadImageWithIndex(1));
}

TEST(MapView, TopographyGrids) {
    QTemporaryDir dir;
    const QString path = dir.filePath("etopo5.i2");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    std::vector<int16_t> heights(4 * 6);
    for (std::size_t i = 0; i < heights.size(); ++i)
        heights[i] = int16_t(i * 100 - 1000);
    file.write(reinterpret_cast<const char*>(heights.data()), qint64(heights.size() * 2));
    file.close();

    geoMapView map;
    ASSERT_TRUE(map.loadTopoImageFromPath(path, 4, 6, 2));
    EXPECT_EQ(map.nr(), 2);
    EXPECT_EQ(map.nc(), 3);
    EXPECT_EQ(map.imageFloats()->at(0), -1000.0f);
    EXPECT_EQ(map.imageFloats()->at(1), -800.0f);           // every second column
    EXPECT_EQ(map.imageFloats()->at(3), 200.0f);            // every second row: row 2 starts at 12
    EXPECT_FALSE(map.loadTopoImageFromPath(path, 5, 6, 1)); // the file is too short
    EXPECT_FALSE(map.loadTopoImageFromPath(dir.filePath("missing.i2"), 4, 6, 1));
    map.setTopographyDirectory(dir.path());
    EXPECT_FALSE(map.loadETOPO5DownSmpl(2)); // not the full grid
}

TEST(MapView, WholeWorldWithPlatesAndPoints) {
    geoMapView map;
    map.resize(1200, 700);
    map.setXLimits(-180, 180);
    map.setYLimits(-90, 90);
    map.setTitle(QStringLiteral("Earthquakes of the past 30 days"));
    map.buildSeisColorTable();
    plateBoundaryController plates;
    ASSERT_TRUE(plates.loadBirdPlateBoundaries());
    map.addAPolygonSet(plates.boundaries());
    map.setShowPlates(true);
    // The pictures are made at build time next to bin/, from Debian's marble-qt-data.
    ASSERT_TRUE(map.loadImageWithIndex(1)) << qPrintable(map.pictureDirectory());
    EXPECT_EQ(map.nr(), 1024);
    EXPECT_EQ(map.nc(), 3072);
    EXPECT_FLOAT_EQ(map.dxImage(), 540.0f / 3072.0f);
    for (auto [lat, lon, size] : {std::tuple{38.3f, 142.4f, 0.9f},
                                  {-33.4f, -70.6f, 0.7f},
                                  {35.7f, 139.7f, 0.4f},
                                  {64.1f, -21.9f, 0.3f},
                                  {-6.2f, 106.8f, 0.5f}}) {
        auto p = std::make_shared<geoMapPoint>();
        p->setLatLonDepth(lat, lon, 10);
        p->setSymbolSize(size);
        p->setColorIndex(3);
        map.thePoints().append(p);
    }
    const QImage picture = map.getImageOfView();
    EXPECT_EQ(picture.size(), QSize(1200, 700));
    // Mid-Pacific is ocean blue, the Sahara is not.
    const QColor pacific = pixelAt(picture, map.viewPointForLonLat(-150, 0));
    EXPECT_GT(pacific.blue(), pacific.red() + 20);
    const QColor sahara = pixelAt(picture, map.viewPointForLonLat(10, 24));
    EXPECT_GT(sahara.red(), sahara.blue());
    for (int index : {2, 3, 4, 10})
        EXPECT_TRUE(map.loadImageWithIndex(index)) << index;
    picture.save(
        QStringLiteral("whole_world_map.png")); // written into the test's folder, to look at
}

TEST(MapView, TheShippedEtopo5Grid) {
    // Derived at build time from Debian's ferret-datasets, next to the pictures.
    geoMapView map;
    ASSERT_TRUE(map.loadETOPO5DownSmpl(2)) << qPrintable(map.topographyDirectory());
    EXPECT_EQ(map.nr(), 1080);
    EXPECT_EQ(map.nc(), 2160);
    EXPECT_FLOAT_EQ(map.dxImage(), 1.0f / 6.0f);
    auto height = [&map](double lat, double lon) {
        const int row = int((90 - lat) * 6), column = int(lon * 6);
        return map.imageFloats()->at(std::size_t(row) * 2160 + std::size_t(column));
    };
    EXPECT_GT(height(27.99, 86.93), 6000.0f);  // Everest
    EXPECT_LT(height(0, 200), -3000.0f);       // mid-Pacific
    EXPECT_LT(height(11.35, 142.2), -6000.0f); // Mariana Trench (a 10-minute cell)
}

TEST(MapView, LegendOfColoursAndSizesInTheLowerLeftCorner) {
    geoMapView map;
    setUpWorld(map);
    mapLegend legend;
    legend.colorTitle = QStringLiteral("Age");
    legend.colors = {{QColor(255, 0, 0), QStringLiteral("≤ 12 h")},
                     {QColor(255, 128, 0), QStringLiteral("≤ 24 h")},
                     {QColor(255, 255, 0), QStringLiteral("older")}};
    legend.sizes = {{QStringLiteral("M 4"), 0.5f},
                    {QStringLiteral("M 6"), 1.0f},
                    {QStringLiteral("M 8"), 2.0f}};
    map.setLegend(legend);
    QImage picture;
    const auto texts = drawnTexts(map, &picture);
    const QRectF box = map.mapRect();
    for (const char* label : {"Age", "≤ 12 h", "≤ 24 h", "older", "M 4", "M 6", "M 8"}) {
        const auto* t = findText(texts, QString::fromUtf8(label));
        ASSERT_TRUE(t) << label;
        // Inside the lower-left quarter of the map box.
        EXPECT_GT(t->anchor.x(), box.x()) << label;
        EXPECT_LT(t->anchor.x(), box.center().x()) << label;
        EXPECT_GT(t->anchor.y(), box.y()) << label;
        EXPECT_LT(t->anchor.y(), box.center().y()) << label;
    }
    // Each colour's swatch is left of its label, half a line up.
    const double lineMiddle = QVRTextAttributes::helvetica(11).measure("M").height() / 2;
    for (const auto& entry : legend.colors) {
        const auto* t = findText(texts, entry.label);
        EXPECT_EQ(pixelAt(picture, t->anchor + QPointF(-9, lineMiddle)).rgb(), entry.color.rgb())
            << qPrintable(entry.label);
    }
    // Each size circle stands above its centred label with the symbols' radius, 12 × size.
    const QVRTextAttributes text = QVRTextAttributes::helvetica(11);
    for (const auto& entry : legend.sizes) {
        const auto* t = findText(texts, entry.label);
        const int x = int(t->anchor.x() + text.measure(entry.label).width() / 2);
        int grey = 0;
        for (int y = int(picture.height() - t->anchor.y() - text.measure(entry.label).height());
             y > 0; --y) {
            const QColor c = picture.pixelColor(x, y);
            if (c.red() > 130 && c.red() < 175 && std::abs(c.red() - c.blue()) < 6)
                ++grey;
            else if (grey > 0)
                break;
        }
        EXPECT_NEAR(grey, 2 * 12.0 * entry.symbolSize, 3) << qPrintable(entry.label);
    }

    // Hidden: none of it, and the corner is white again.
    const QPointF swatch = findText(texts, "older")->anchor + QPointF(-9, lineMiddle);
    map.setLegend(std::nullopt);
    const auto none = drawnTexts(map, &picture);
    EXPECT_FALSE(findText(none, "older"));
    EXPECT_FALSE(findText(none, "M 8"));
    EXPECT_EQ(pixelAt(picture, swatch), QColor(Qt::white));
}

TEST(MapView, DistanceRingsAreGreatCirclesSplitAtTheMapEdge) {
    // The ring's points lie at the distance asked for, on any azimuth.
    const QPointF centre(10, 60);
    const QList<QPointF> ring = greatCircles::ring(centre, 1500, 72);
    ASSERT_EQ(ring.size(), 73);
    EXPECT_EQ(ring.first(), ring.last());
    for (const QPointF& p : ring)
        EXPECT_NEAR(haversineKm(centre, p), 1500, 0.01);
    EXPECT_NEAR(ring.at(0).y(), 60 + 1500 / 111.19493, 1e-6); // due north
    EXPECT_NEAR(ring.at(0).x(), 10, 1e-9);
    // A quarter of the Earth round from the equator: the pole, then 90° east.
    const QList<QPointF> quarter =
        greatCircles::ring(QPointF(0, 0), 6371 * std::numbers::pi / 2, 4);
    EXPECT_NEAR(quarter.at(0).y(), 90, 1e-6);
    EXPECT_NEAR(quarter.at(1).x(), 90, 1e-6);
    EXPECT_NEAR(quarter.at(1).y(), 0, 1e-6);

    geoMapView map;
    setUpWorld(map);
    map.setDistanceRings({QPointF(10, 20), {500, 1000}});
    QImage picture;
    auto texts = drawnTexts(map, &picture);
    ASSERT_TRUE(findText(texts, "500 km"));
    ASSERT_TRUE(findText(texts, "1000 km"));
    // 500 km apart is less than a line on this scale: the outer label stands on the inner one.
    EXPECT_GE(findText(texts, "1000 km")->anchor.y() - findText(texts, "500 km")->anchor.y(),
              QVRTextAttributes::helvetica(11).measure("1000 km").height());
    // 500 km north of the click: 4.4966° of latitude.
    EXPECT_LT(darkestNear(picture, map.viewPointForLonLat(10, 20 + 500 / 111.19493f)), 80);
    EXPECT_LT(darkestNear(picture, map.viewPointForLonLat(10, 20 - 1000 / 111.19493f)), 80);
    // Between the rings and outside them the map stays white.
    EXPECT_EQ(pixelAt(picture, map.viewPointForLonLat(10, 20 - 750 / 111.19493f)),
              QColor(Qt::white));
    EXPECT_EQ(pixelAt(picture, map.viewPointForLonLat(40, 20)), QColor(Qt::white));

    // At the date line the ring comes back at the other edge, with nothing across the map.
    map.setDistanceRings({QPointF(179, 0), {500}});
    drawnTexts(map, &picture);
    EXPECT_LT(darkestNear(picture, map.viewPointForLonLat(179, 500 / 111.19493f)), 80);
    EXPECT_LT(darkestNear(picture, map.viewPointForLonLat(179 + 500 / 111.19493f - 360, 0)), 80);
    const QRectF box = map.mapRect();
    int dark = 0;
    for (int row = int(picture.height() - map.viewPointForLonLat(0, 6).y());
         row <= int(picture.height() - map.viewPointForLonLat(0, -6).y()); ++row)
        for (int x = int(box.x() + 40); x < int(box.right() - 40); ++x)
            dark += qGray(picture.pixel(x, row)) < 200;
    EXPECT_EQ(dark, 0);
    // On a map from 0° to 360° the same ring is whole in the middle.
    geoMapView pacific;
    setUpWorld(pacific, 0, 360);
    pacific.setDistanceRings({QPointF(179, 0), {500}});
    drawnTexts(pacific, &picture);
    EXPECT_LT(darkestNear(picture, pacific.viewPointForLonLat(179 + 500 / 111.19493f, 0)), 80);

    map.setDistanceRings({});
    texts = drawnTexts(map, &picture);
    EXPECT_FALSE(findText(texts, "500 km"));
    EXPECT_EQ(pixelAt(picture, map.viewPointForLonLat(179, 500 / 111.19493f)), QColor(Qt::white));
}

TEST(MapView, HomeMarker) {
    geoMapView map;
    setUpWorld(map, 0, 360);
    const QPointF seattle = map.viewPointForLonLat(-122.3f, 47.6f); // at 237.7°
    EXPECT_EQ(pixelAt(map.getImageOfView(), seattle), QColor(Qt::white));
    map.setHomeLocation(QPointF(-122.3, 47.6));
    const QImage picture = map.getImageOfView();
    EXPECT_EQ(pixelAt(picture, seattle), QColor(0x20, 0x20, 0x20));
    EXPECT_EQ(pixelAt(picture, seattle + QPointF(20, 0)), QColor(Qt::white));
}

namespace {

// A world map of 1,500 overlapping symbols of many sizes, some without a colour.
void fillWithSymbols(geoMapView& map) {
    map.resize(900, 520);
    map.setXLimits(0, 360);
    map.setYLimits(-90, 90);
    map.buildSeisColorTable();
    for (int i = 0; i < 1500; ++i) {
        auto p = std::make_shared<geoMapPoint>();
        p->setLatLonDepth(float(std::fmod(i * 37.0, 120.0) - 60),
                          float(std::fmod(i * 53.0, 360.0) - 180), 10);
        p->setSymbolSize(0.1f + float(i % 30) / 20);
        p->setColorIndex(i % 7 == 0 ? -1 : i % 4);
        p->setAlpha(0.5f);
        map.thePoints().append(p);
    }
}

} // namespace

// The kept layer of symbols gives the picture that stamping every symbol onto the frame gives,
// within the rounding of blending twice, and follows every change of the symbols, the limits
// and the size; PDF pages still get real circles.
TEST(MapView, KeptSymbolLayerMatchesStampingEverySymbol) {
    geoMapView map;
    fillWithSymbols(map);
    auto expectSameAsDirect = [&map](const QImage& layered) {
        map.set_keepSymbolLayer(false);
        const QImage direct = map.getImageOfView();
        map.set_keepSymbolLayer(true);
        ASSERT_EQ(layered.size(), direct.size());
        EXPECT_LE(differenceOf(layered, direct).largest, 3);
    };
    const QImage first = map.getImageOfView();
    EXPECT_EQ(differenceOf(first, map.getImageOfView()).pixels, 0); // from the kept layer
    expectSameAsDirect(first);

    // A symbol moved, through the list the map hands out: it shows at its new place at once.
    const QPointF empty = map.viewPointForLonLat(100, 80);
    EXPECT_EQ(pixelAt(first, empty), QColor(Qt::white));
    map.thePoints().first()->setLatLonDepth(80, 100, 10);
    const QImage moved = map.getImageOfView();
    EXPECT_NE(pixelAt(moved, empty), QColor(Qt::white));
    expectSameAsDirect(moved);

    map.setTheColors({Qt::black});
    const QImage recoloured = map.getImageOfView();
    EXPECT_GT(differenceOf(moved, recoloured).pixels, 0);
    expectSameAsDirect(recoloured);
    map.setXLimits(-180, 180);
    const QImage otherLimits = map.getImageOfView();
    EXPECT_GT(differenceOf(recoloured, otherLimits).pixels, 0);
    expectSameAsDirect(otherLimits);
    map.resize(700, 400);
    const QImage smaller = map.getImageOfView();
    EXPECT_EQ(smaller.size(), QSize(700, 400));
    expectSameAsDirect(smaller);
    EXPECT_TRUE(map.pdfData().startsWith("%PDF"));
}

// With a runner, new symbols are stamped on a worker, once however often they are asked for,
// and the map repaints with them when they arrive: the same picture as stamped in the paint.
TEST(MapView, NewSymbolsAreStampedOnAWorker) {
    geoMapView map;
    fillWithSymbols(map);
    EXPECT_FALSE(map.drawSymbolLayerInBackground()); // no runner: the paint pass stamps
    const paintCounter counter(map);
    map.show();
    QTRY_VERIFY_WITH_TIMEOUT(counter.paints() > 0, 10000);
    workerThreads workers; // gone before the map
    map.setLayerRunner(workers.runner());
    EXPECT_FALSE(map.drawSymbolLayerInBackground()); // the shown layer is current

    map.thePoints().first()->setLatLonDepth(80, 100, 10);
    const int paintsBefore = counter.paints();
    EXPECT_TRUE(map.drawSymbolLayerInBackground());
    EXPECT_TRUE(map.drawSymbolLayerInBackground()); // on its way already
    EXPECT_EQ(workers.started, 1);
    QTRY_VERIFY_WITH_TIMEOUT(!map.drawSymbolLayerInBackground(), 10000); // arrived
    QTRY_VERIFY_WITH_TIMEOUT(counter.paints() > paintsBefore, 10000);
    const QImage fromWorker = map.getImageOfView();

    map.setLayerRunner({});
    map.pointsDidChange();
    EXPECT_EQ(differenceOf(fromWorker, map.getImageOfView()).pixels, 0);
    EXPECT_EQ(workers.started, 1);
}
