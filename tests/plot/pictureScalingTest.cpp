#include "pictureScaling.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Noise over the whole range, with runs of full white and black, where sums come closest to
// their limits.
QImage noisePicture(QSize size, QImage::Format format, unsigned seed) {
    QImage picture(size, QImage::Format_RGB32);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> level(0, 255), run(0, 9);
    for (int y = 0; y < size.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int kind = run(random);
            row[x] = kind == 0   ? qRgb(255, 255, 255)
                     : kind == 1 ? qRgb(0, 0, 0)
                                 : qRgb(level(random), level(random), level(random));
        }
    }
    return picture.convertToFormat(format);
}

// What drawing from 32-bit pixels gives.
QImage qtScaled(const QImage& picture, QSize size) {
    return picture.convertToFormat(QImage::Format_RGB32)
        .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

TEST(PictureScaling, TwentyFourBitPicturesScaleAsFromThirtyTwoBits) {
    // Smaller both ways (read in 24 bits), by whole and uneven factors, barely and a lot
    // smaller; then larger or equal in one way or both, and 32-bit pictures (Qt's own path).
    const std::tuple<QSize, QSize, QImage::Format> cases[] = {
        {{5400, 2700}, {1116, 558}, QImage::Format_RGB888},
        {{810, 270}, {405, 135}, QImage::Format_RGB888},
        {{601, 307}, {600, 306}, QImage::Format_RGB888},
        {{997, 503}, {131, 29}, QImage::Format_RGB888},
        {{64, 48}, {1, 1}, QImage::Format_RGB888},
        {{3, 1000}, {2, 7}, QImage::Format_RGB888},
        {{300, 200}, {700, 90}, QImage::Format_RGB888},
        {{300, 200}, {90, 700}, QImage::Format_RGB888},
        {{300, 200}, {300, 200}, QImage::Format_RGB888},
        {{300, 200}, {301, 250}, QImage::Format_RGB888},
        {{601, 307}, {200, 100}, QImage::Format_RGB32},
    };
    unsigned seed = 1;
    for (const auto& [from, to, format] : cases) {
        const QImage picture = noisePicture(from, format, seed++);
        const QImage scaled = pictureScaling::smoothScaled(picture, to);
        EXPECT_EQ(scaled.format(), QImage::Format_RGB32) << from.width() << " to " << to.width();
        EXPECT_EQ(scaled, qtScaled(picture, to))
            << from.width() << "×" << from.height() << " to " << to.width() << "×" << to.height();
    }
    // A white picture stays white: the largest sums are exact.
    QImage white(900, 600, QImage::Format_RGB888);
    white.fill(Qt::white);
    const QImage scaled = pictureScaling::smoothScaled(white, {257, 131});
    EXPECT_EQ(scaled.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(scaled.pixel(256, 130), qRgb(255, 255, 255));
    EXPECT_EQ(scaled, qtScaled(white, {257, 131}));
}

TEST(PictureScaling, PartsAreReadInPlaceAndScaledCopiesOwnTheirPixels) {
    const QImage picture = noisePicture({400, 300}, QImage::Format_RGB888, 9);
    const QRect part(37, 11, 250, 180);
    const QImage inPlace = pictureScaling::partOf(picture, part);
    EXPECT_EQ(inPlace, picture.copy(part));
    // Over the picture's own bytes, not a copy of them.
    EXPECT_EQ(inPlace.constBits(), picture.constScanLine(part.y()) + 3 * part.x());
    EXPECT_EQ(pictureScaling::partOf(picture, picture.rect()).constBits(), picture.constBits());

    // Formats whose pixels are not whole bytes, or that need their colour table, are copied.
    const QImage mono = picture.convertToFormat(QImage::Format_Mono);
    EXPECT_EQ(pictureScaling::partOf(mono, part), mono.copy(part));
    const QImage indexed = picture.convertToFormat(QImage::Format_Indexed8);
    EXPECT_EQ(pictureScaling::partOf(indexed, part), indexed.copy(part));

    // A 32-bit part left at its size is the same pixels in memory of its own, which stays
    // valid after the picture is gone.
    QImage wide = picture.convertToFormat(QImage::Format_RGB32);
    const QImage expected = wide.copy(part);
    QImage kept = pictureScaling::smoothScaled(pictureScaling::partOf(wide, part), part.size());
    EXPECT_NE(kept.constBits(), wide.constScanLine(part.y()) + 4 * part.x());
    wide = QImage();
    EXPECT_EQ(kept, expected);
}
