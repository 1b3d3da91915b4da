#include "QVRPolygon.h"
#include "colorScales.h"
#include "geoMapPoint.h"
#include "geoMapVector.h"
#include "mapColorLists.h"
#include "plateBoundaryController.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct colour {
    int r, g, b;
    bool operator==(const colour&) const = default;
};

std::ostream& operator<<(std::ostream& os, const colour& c) {
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

colour shade(float value, int shades, int palette) {
    colour c{};
    int alpha = 0;
    getColorValues(value, shades, palette, &c.r, &c.g, &c.b, &alpha);
    EXPECT_EQ(alpha, 1);
    return c;
}

colour topo(float height) {
    colour c{};
    int alpha = 0;
    getTopoColorValues(height, 0, &c.r, &c.g, &c.b, &alpha);
    return c;
}

QVRPolygon unitSquare() {
    QVRPolygon square;
    square.setXp({0, 1, 1, 0});
    square.setYp({0, 0, 1, 1});
    square.setNpts(4);
    return square;
}

} // namespace

TEST(MapSymbols, PointsAndVectorsStartBlank) {
    const geoMapPoint p;
    EXPECT_EQ(p.colorIndex(), 0);
    EXPECT_EQ(p.alpha(), 1.0f);
    EXPECT_EQ(p.symbolSize(), 0.0f);
    geoMapVector v;
    v.setLatLonDepth(10, 20, 30);
    EXPECT_EQ(v.lon(), 20.0f);
    EXPECT_EQ(v.alpha(), 1.0f);
    EXPECT_EQ(v.scaleFactor(), 0.0f);
}

TEST(ColorScales, ShadesPalettesAndTopography) {
    EXPECT_EQ(validateColor(300), 255u);
    EXPECT_EQ(validateColor(255), 255u);
    EXPECT_EQ(validateColor(7), 7u);

    EXPECT_EQ(shade(0.5f, 64, 0), (colour{128, 128, 128}));
    EXPECT_EQ(shade(0.0f, 64, 0), (colour{255, 255, 255}));
    EXPECT_EQ(shade(1.0f, 1, 0), (colour{0, 0, 0}));
    EXPECT_EQ(shade(-3.0f, 10, 0), (colour{255, 255, 255}));
    // Red–white–blue: 0 red, level 128 white, 255 blue.
    EXPECT_EQ(shade(0.0f, 256, 1), (colour{255, 0, 0}));
    EXPECT_EQ(shade(0.5025f, 100000, 1), (colour{255, 255, 255}));
    EXPECT_EQ(shade(1.0f, 1, 1), (colour{0, 0, 255}));
    EXPECT_EQ(shade(0.25f, 4, 1), (colour{255, 126, 126}));
    // Table S: palette 2 runs high values to blue, 3 to red.
    EXPECT_EQ(shade(0.0f, 10, 2), (colour{255, 51, 0}));
    EXPECT_EQ(shade(1.0f, 1, 2), (colour{0, 51, 255}));
    EXPECT_EQ(shade(0.0f, 10, 3), (colour{0, 51, 255}));
    EXPECT_EQ(shade(1.0f, 1, 3), (colour{255, 51, 0}));
    // Table D: level 0 is index 18, level 255 index 3.
    EXPECT_EQ(shade(0.0f, 10, 7), (colour{165, 0, 33}));
    EXPECT_EQ(shade(1.0f, 1, 7), (colour{61, 135, 255}));

    EXPECT_EQ(topo(-9000), (colour{1, 1, 100}));
    EXPECT_EQ(topo(-8000), (colour{1, 1, 150})); // a bound belongs to the next stop
    EXPECT_EQ(topo(0), (colour{100, 150, 100}));
    EXPECT_EQ(topo(-0.5f), (colour{240, 240, 255}));
    EXPECT_EQ(topo(5999), (colour{255, 255, 255}));
    EXPECT_EQ(topo(7000), (colour{255, 255, 255}));

    float r = 0, g = 0, b = 0, a = 0;
    getColorValuesFloat(0.0f, 0, &r, &g, &b, &a);
    EXPECT_FLOAT_EQ(g, 51.0f / 255.0f);
    EXPECT_EQ(a, 1.0f);
    getColorValuesFloat(1.0f, 0, &r, &g, &b, &a);
    EXPECT_FLOAT_EQ(r, 1.0f);
    getColorValuesFloat(7.0f, 0, &r, &g, &b, &a); // clamped into the table
    EXPECT_FLOAT_EQ(r, 1.0f);
}

TEST(ColorScales, MapColourLists) {
    const QList<QColor> two = mapColorLists::grayScaleColors(2);
    ASSERT_EQ(two.size(), 2);
    EXPECT_EQ(two.at(0), QColor::fromRgbF(1, 0, 0));
    EXPECT_EQ(two.at(1), QColor::fromRgbF(1, 1, 1));
    EXPECT_EQ(mapColorLists::grayScaleColors(1).size(), 1);
    EXPECT_EQ(mapColorLists::noGreenColors().size(), 16);
    EXPECT_EQ(mapColorLists::noGreenColors().last(), QColor::fromRgbF(1, 0, 0));
    const QList<QColor> seis = mapColorLists::seisColors();
    ASSERT_EQ(seis.size(), 21);
    EXPECT_EQ(seis.at(10), seis.at(11));
    const QList<QColor> polar = mapColorLists::polarColors();
    ASSERT_EQ(polar.size(), 21);
    EXPECT_EQ(polar.first(), QColor::fromRgbF(0, 0, 1));
    EXPECT_FALSE(polar.contains(QColor::fromRgbF(1, 1, 1)));
}

TEST(Polygons, EvenOddTestAndBoundingRectangle) {
    QVRPolygon square = unitSquare();
    EXPECT_TRUE(square.pointInPolygon(0.5f, 0.5f));
    EXPECT_FALSE(square.pointInPolygon(1.5f, 0.5f));
    EXPECT_TRUE(square.pointInPolygon(0.0f, 0.5f));  // left edge closed
    EXPECT_FALSE(square.pointInPolygon(1.0f, 0.5f)); // right edge open
    EXPECT_TRUE(square.pointInPolygon(0.5f, 0.0f));  // bottom edge closed
    EXPECT_FALSE(square.pointInPolygon(0.5f, 1.0f)); // top edge open
    square.computeBoundingRect();
    EXPECT_EQ(square.bRect(), QRectF(0, 0, 1, 1));
    EXPECT_EQ(square.description(), "UntitledNpts:4");

    QVRPolygon empty;
    EXPECT_FALSE(empty.pointInPolygon(0, 0));
    empty.computeBoundingRect();
    EXPECT_EQ(empty.bRect(), QRectF(1e9, 1e9, -2e9, -2e9));

    // A count larger than the arrays never reads past them.
    QVRPolygon lying = unitSquare();
    lying.setNpts(1000);
    EXPECT_TRUE(lying.pointInPolygon(0.5f, 0.5f));
}

TEST(Polygons, NXYTextReadAndWritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath("square.nxy");
    QVRPolygon square = unitSquare();
    square.setNpts(2);
    ASSERT_TRUE(square.saveToPath(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "2\n0.000000 0.000000\n1.000000 0.000000\n");

    QVRPolygon back;
    ASSERT_TRUE(back.loadNXYFromPath(path));
    EXPECT_EQ(back.npts(), 2);
    EXPECT_EQ(back.xp(), (std::vector<float>{0, 1}));

    QVRPolygon broken = unitSquare();
    EXPECT_FALSE(broken.scanFromNXYString(QStringLiteral("2\n1 2\n3\n")));
    EXPECT_EQ(broken.npts(), 0);
    EXPECT_TRUE(broken.xp().empty());
    EXPECT_FALSE(broken.scanFromNXYString(QString()));
    EXPECT_FALSE(broken.scanFromNXYString(QStringLiteral("3 1 2 x 4 5 6")));
    EXPECT_FALSE(broken.scanFromNXYString(QStringLiteral("-1")));
    EXPECT_FALSE(broken.scanFromNXYString(QStringLiteral("99999999999 1 2")));
    EXPECT_FALSE(broken.loadNXYFromPath(dir.filePath("missing.nxy")));
    EXPECT_TRUE(broken.scanFromNXYString(QStringLiteral("1\n\n  -120.5\t35.25  ")));
    EXPECT_EQ(broken.yp(), (std::vector<float>{35.25f}));
}

TEST(PlateBoundaries, BirdSegments) {
    const auto segments = plateBoundaryController::parseBirdPlateBoundaries(
        "AF-AN   a title\n-10 20\n350 21\nnot a point\n*** end of line segment ***\n"
        "EU-NA\n -4.37900E-01,-5.48518E+01\n*** end of line segment ***\nXX-YY\n1 2\n");
    ASSERT_EQ(segments.size(), 2); // the last one has no end line
    EXPECT_EQ(segments.at(0)->title(), "AF-AN   a title\n");
    EXPECT_EQ(segments.at(0)->xp(), (std::vector<float>{350, 350}));
    EXPECT_EQ(segments.at(0)->yp(), (std::vector<float>{20, 21}));
    EXPECT_EQ(segments.at(0)->npts(), 2);
    EXPECT_FLOAT_EQ(segments.at(1)->xp().at(0), 359.5621f);
    EXPECT_FLOAT_EQ(segments.at(1)->yp().at(0), -54.8518f);

    // Segments longer than any fixed buffer grow instead of overflowing.
    QByteArray longSegment = "LONG\n";
    for (int i = 0; i < 3000; ++i)
        longSegment += QByteArray::number(i % 360) + " 1\n";
    longSegment += "***\n";
    EXPECT_EQ(plateBoundaryController::parseBirdPlateBoundaries(longSegment).first()->npts(), 3000);
}

TEST(PlateBoundaries, UTIGSegments) {
    const auto segments = plateBoundaryController::parseUTPlateBoundaries(
        "UTIG PLATES trench\n9921 GULF OF ALASKA\n-130.5 51.5\n-131 52\n>\n9922 NEXT\n10 "
        "-5\n>\n9923 LOST\n1 1\n");
    ASSERT_EQ(segments.size(), 2);
    EXPECT_EQ(segments.at(0)->title(), "9921 GULF OF ALASKA");
    EXPECT_EQ(segments.at(0)->xp(), (std::vector<float>{229.5f, 229.0f}));
    EXPECT_EQ(segments.at(0)->bRect(), QRectF(229, 51.5, 0.5, 0.5));
    EXPECT_EQ(segments.at(1)->title(), "9922 NEXT");
}

TEST(PlateBoundaries, ShippedFilesLoad) {
    plateBoundaryController bird;
    ASSERT_TRUE(bird.loadBirdPlateBoundaries());
    EXPECT_EQ(bird.boundaries().size(), 229);
    int points = 0;
    for (const auto& p : bird.boundaries()) {
        points += p->npts();
        for (float lon : p->xp())
            EXPECT_TRUE(lon >= 0 && lon <= 360) << lon;
    }
    EXPECT_EQ(points, 6048);

    plateBoundaryController utig;
    ASSERT_TRUE(utig.loadUTPlateBoundaries());
    EXPECT_EQ(utig.boundaries().size(), 114 + 181 + 226);
    EXPECT_EQ(utig.boundaries().first()->title(), "9921 GULF OF ALASKA TRENCH");
    ASSERT_TRUE(bird.loadBirdPlateBoundaries()); // loading appends
    EXPECT_EQ(bird.boundaries().size(), 2 * 229);

    EXPECT_FALSE(QFile::exists(plateBoundaryController::resourcePath("no_such_boundaries")));
}
