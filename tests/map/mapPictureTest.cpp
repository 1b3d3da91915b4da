#include "geoMapView.h"
#include "logCapture.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>
#include <thread>

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

// A picture decoded ahead on another thread is the one a map then takes, pixels shared; a file
// that cannot be decoded ahead is reported once, by the map that asks for it.
TEST(MapPictures, DecodedAheadOnAnotherThreadAndTakenByTheMap) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString jpeg = geoMapView::picturePath(livingEarth, folder.path());
    EXPECT_EQ(jpeg, folder.filePath(QStringLiteral("living_earth_wide.jpg")));
    EXPECT_TRUE(geoMapView::picturePath(7, folder.path()).isNull());
    ASSERT_TRUE(noisePicture(QSize(360, 120), QImage::Format_RGB32).save(jpeg, "JPEG", 80));

    std::thread ahead([&jpeg] { geoMapView::decodePictureAhead(jpeg); });
    geoMapView map;
    map.setPictureDirectory(folder.path());
    // Asked while the other thread may still decode: it waits for that decode.
    ASSERT_TRUE(map.loadImageWithIndex(livingEarth));
    ahead.join();
    const QImage expected = QImage(jpeg).convertToFormat(QImage::Format_RGB888);
    EXPECT_EQ(map.anImage(), expected);
    // Decoding ahead again finds the picture decoded: the map's pixels stay the ones shared.
    const uchar* shared = map.anImage().constBits();
    geoMapView::decodePictureAhead(jpeg);
    geoMapView second;
    second.setPictureDirectory(folder.path());
    ASSERT_TRUE(second.loadImageWithIndex(livingEarth));
    EXPECT_EQ(second.anImage().constBits(), shared);

    const QString tiff = geoMapView::picturePath(westernUnitedStates, folder.path());
    QFile broken(tiff);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("II*\0 not a picture");
    broken.close();
    const logCapture log;
    std::thread failing([&tiff] { geoMapView::decodePictureAhead(tiff); });
    failing.join();
    EXPECT_TRUE(log.problems().isEmpty());
    geoMapView third;
    third.setPictureDirectory(folder.path());
    EXPECT_FALSE(third.loadImageWithIndex(westernUnitedStates));
    ASSERT_EQ(log.problems().size(), 1);
    EXPECT_TRUE(log.problems().first().contains(tiff)) << qPrintable(log.problems().first());
    EXPECT_TRUE(third.anImage().isNull());
}
