// Radial and transverse from two horizontals: a wave polarised along the line from the source
// lands wholly on the radial trace, with the sign of motion away from the source.

#include "horizontalRotation.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr double degrees = 3.14159265358979323846 / 180.0;

// Motion `u` along azimuth `direction`, as recorded by a component along `azimuth`.
std::vector<float> recorded(const std::vector<float>& u, double direction, double azimuth) {
    std::vector<float> out(u.size());
    for (std::size_t i = 0; i < u.size(); ++i)
        out[i] = float(u[i] * std::cos((direction - azimuth) * degrees));
    return out;
}

} // namespace

TEST(HorizontalRotation, AWaveAlongTheBackAzimuthIsWhollyRadial) {
    const std::vector<float> u = {0.0f, 1.0f, -2.0f, 0.5f, 3.0f};
    for (const double backAzimuth : {0.0, 37.0, 135.0, 250.0, 359.0}) {
        SCOPED_TRACE(backAzimuth);
        const double away = backAzimuth + 180.0; // the direction the wave travels
        // North/east, and a 1/2 pair turned 30° from them.
        for (const double firstAzimuth : {0.0, 30.0}) {
            const double secondAzimuth = firstAzimuth + 90.0;
            const auto first = recorded(u, away, firstAzimuth);
            const auto second = recorded(u, away, secondAzimuth);
            const radialTransverse rt =
                rotateToRadialTransverse(first.data(), float(firstAzimuth), second.data(),
                                         float(secondAzimuth), u.size(), float(backAzimuth));
            ASSERT_EQ(rt.radial.size(), u.size());
            for (std::size_t i = 0; i < u.size(); ++i) {
                EXPECT_NEAR(rt.radial[i], u[i], 1e-5); // positive away from the source
                EXPECT_NEAR(rt.transverse[i], 0.0f, 1e-5);
            }
        }
    }
}

TEST(HorizontalRotation, AWaveAcrossThePathIsWhollyTransverse) {
    // Back-azimuth 90°: the source lies due east, the wave travels west (270°); transverse is
    // 90° clockwise from that, towards north.
    const std::vector<float> north = {1.0f, -1.0f};
    const std::vector<float> east = {0.0f, 0.0f};
    const radialTransverse rt =
        rotateToRadialTransverse(north.data(), 0.0f, east.data(), 90.0f, 2, 90.0f);
    EXPECT_NEAR(rt.radial[0], 0.0f, 1e-6);
    EXPECT_NEAR(rt.transverse[0], 1.0f, 1e-6);
    EXPECT_NEAR(rt.transverse[1], -1.0f, 1e-6);
    // Motion towards the source is negative radial.
    const std::vector<float> eastward = {2.0f};
    const std::vector<float> none = {0.0f};
    EXPECT_NEAR(
        rotateToRadialTransverse(none.data(), 0.0f, eastward.data(), 90.0f, 1, 90.0f).radial[0],
        -2.0f, 1e-6);
}
