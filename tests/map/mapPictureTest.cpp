#include "geoMapView.h"

#include <gtest/gtest.h>

namespace {

// The pictures are made at build time next to bin/, from Debian's marble-qt-data.
constexpr int livingEarth = 4; // 3600 × 1200 pixels over 540° of longitude

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
