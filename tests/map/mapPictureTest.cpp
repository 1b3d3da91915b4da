#include "geoMapView.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace {

// The pictures are made at build time next to bin/, from Debian's marble-qt-data.
constexpr int livingEarth = 4;          // 3600 × 1200 pixels over 540° of longitude
constexpr int westernUnitedStates = 10; // "wusGray.tif"

// Noise, so that the codec's rounding shows in every pixel, in colour or in grays.
QImage noisePicture(QSize size, QImage::Format format) {
    QImage picture(size, format);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> level(0, 255);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            picture.setPixel(x, y,
                             format == QImage::Format_Grayscale8
                                 ? uint(level(random))
                                 : qRgb(level(random), level(random), level(random)));
    return picture;
}

void showRegion(geoMapView& map, float west, float east, float south, float north) {
    map.resize(900, 500);
    map.setXLimits(west, east);
    map.setYLimits(south, north);
    map.computeRects();
}

} // namespace

TEST(MapPictures, KeptOnceInTwentyFourBitsAndDrawnAsFromThirtyTwo) {
    geoMapView first, second, reference;
    ASSERT_TRUE(first.loadImageWithIndex(livingEarth)) << qPrintable(first.pictureDirectory());
    ASSERT_TRUE(second.loadImageWithIndex(livingEarth));
    ASSERT_TRUE(reference.loadImageWithIndex(livingEarth));
    // Two maps of the same picture share its pixels, three bytes each.
    EXPECT_EQ(first.anImage().constBits(), second.anImage().constBits());
    EXPECT_EQ(first.anImage().depth(), 24);
    EXPECT_EQ(first.anImage().size(), QSize(3600, 1200));

    // The same pixels widened to 32 bits draw the same picture: the whole world, a region
    // inside it, and one across the picture's seam at 180°.
    reference.setAnImage(reference.anImage().convertToFormat(QImage::Format_RGB32));
    for (const auto& [west, east, south, north] : {std::tuple{-180.f, 180.f, -90.f, 90.f},
                                                   {120.f, 160.f, 20.f, 50.f},
                                                   {150.f, 215.f, -50.f, -10.f}}) {
        showRegion(first, west, east, south, north);
        showRegion(reference, west, east, south, north);
        EXPECT_EQ(first.getImageOfView(), reference.getImageOfView()) << west << " " << south;
    }
}

// The kept 24-bit pixels are those of the file decoded and converted the plain way: for a JPEG,
// which decodes to 32 bits and is narrowed in place, and for a gray TIFF, which is widened.
TEST(MapPictures, KeptPixelsAreTheFilesPixels) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString jpeg = folder.filePath(QStringLiteral("living_earth_wide.jpg"));
    const QString tiff = folder.filePath(QStringLiteral("wusGray.tif"));
    ASSERT_TRUE(noisePicture(QSize(360, 120), QImage::Format_RGB32).save(jpeg, "JPEG", 80));
    ASSERT_TRUE(noisePicture(QSize(61, 54), QImage::Format_Grayscale8).save(tiff, "TIFF"));

    for (const auto& [index, path] : {std::pair{livingEarth, jpeg}, {westernUnitedStates, tiff}}) {
        geoMapView map;
        map.setPictureDirectory(folder.path());
        ASSERT_TRUE(map.loadImageWithIndex(index)) << qPrintable(path);
        const QImage expected = QImage(path).convertToFormat(QImage::Format_RGB888);
        ASSERT_FALSE(expected.isNull());
        EXPECT_EQ(map.anImage().format(), QImage::Format_RGB888) << qPrintable(path);
        EXPECT_EQ(map.anImage(), expected) << qPrintable(path);
    }
}
