// A station's files as vertical, radial and transverse seismograms.

#include "threeComponents.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#include <gtest/gtest.h>

namespace {

std::shared_ptr<SacObject> component(const char* code, std::vector<float> samples,
                                     float backAzimuth = -12345.0f, float azimuth = -12345.0f) {
    auto s = std::make_shared<SacObject>();
    s->InitWithSamples(std::move(samples), 0.1f, 0.0f,
                       QDateTime(QDate(2026, 12, 8), QTime(12, 0), QTimeZone::utc()));
    SacHeader* h = s->GetSacHeader();
    if (!h)
        return s;
    for (std::size_t i = 0; i < sizeof h->kcmpnm; ++i)
        h->kcmpnm[i] = i < std::strlen(code) ? code[i] : ' ';
    h->baz = backAzimuth;
    h->cmpaz = azimuth;
    return s;
}

} // namespace

TEST(ThreeComponents, HorizontalsAreRotatedByTheBackAzimuth) {
    // The source lies to the north-east (back-azimuth 45°): a wave moving away from it, to the
    // south-west, is wholly radial and positive.
    const float c = float(std::cos(225.0 * M_PI / 180.0));
    const auto z = component("BHZ", {1, 2, 3});
    const auto n = component("BHN", {2 * c, -c, 0}, 45.0f);
    const auto e = component("BHE", {2 * c, -c, 0}, 45.0f);
    const auto three = threeComponents::fromSeismograms({e, z, n});
    ASSERT_TRUE(three.ok()) << qPrintable(three.error());
    const threeComponents& obs = **three;
    EXPECT_EQ(obs.vertical(), z.get());
    ASSERT_NE(obs.radial(), nullptr);
    ASSERT_NE(obs.transverse(), nullptr);
    EXPECT_NEAR(obs.radial()->GetSacSeis()[0], 2.0f, 1e-5);
    EXPECT_NEAR(obs.radial()->GetSacSeis()[1], -1.0f, 1e-5);
    EXPECT_NEAR(obs.transverse()->GetSacSeis()[0], 0.0f, 1e-5);
    EXPECT_EQ(obs.radial()->kcmpnm(), "BHR");
    EXPECT_EQ(obs.transverse()->kcmpnm(), "BHT");
    EXPECT_FLOAT_EQ(obs.radial()->backazimuth(), 45.0f); // the header travels along

    // 1/2 components at their own azimuths: 1 points east, 2 south; the same wave.
    const float s = float(std::sin(225.0 * M_PI / 180.0));
    const auto one = component("HH1", {s}, 45.0f, 90.0f);
    const auto two = component("HH2", {-c}, 45.0f, 180.0f);
    const auto turned = threeComponents::fromSeismograms({one, two});
    ASSERT_TRUE(turned.ok()) << qPrintable(turned.error());
    EXPECT_NEAR((*turned)->radial()->GetSacSeis()[0], 1.0f, 1e-5);
    EXPECT_EQ((*turned)->vertical(), nullptr);
}

TEST(ThreeComponents, ReadyComponentsAndWhatCannotBeShown) {
    // R and T files are used as they are.
    const auto r = component("BHR", {1});
    const auto t = component("BHT", {2});
    const auto ready = threeComponents::fromSeismograms({r, t, component("BHN", {5}, 10.0f)});
    ASSERT_TRUE(ready.ok());
    EXPECT_EQ((*ready)->radial(), r.get());
    EXPECT_EQ((*ready)->transverse(), t.get());

    EXPECT_FALSE(threeComponents::fromSeismograms({component("BHN", {1}, 10.0f)}).ok());
    EXPECT_FALSE(
        threeComponents::fromSeismograms({component("BHN", {1}), component("BHE", {1})}).ok());
    EXPECT_FALSE(threeComponents::fromSeismograms(
                     {component("HH1", {1}, 10.0f), component("HH2", {1}, 10.0f, 90.0f)})
                     .ok()); // component 1 has no azimuth
    EXPECT_FALSE(threeComponents::fromSeismograms({component("Q", {1})}).ok());
    EXPECT_FALSE(threeComponents::fromSeismograms({}).ok());
}
