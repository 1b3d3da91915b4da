#include "QVRImageView.h"
#include "geoMapView.h"
#include "plateBoundaryController.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
