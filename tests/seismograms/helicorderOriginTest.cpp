// An origin record as the helicorder's earthquake: the largest magnitude of each kind.

#include "helicorderOrigin.h"
#include "QVRMagnitude.h"
#include "helicorderView.h"
#include "seismogramTestSupport.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<QVRMagnitude> magnitude(const char* type, float value) {
    auto m = std::make_shared<QVRMagnitude>();
    m->setMagnitudeType(QString::fromLatin1(type));
    m->setMvalue(value);
    return m;
}

} // namespace

TEST(HelicorderOrigin, TheLargestOfEachTypeWhateverTheCase) {
    auto origin = std::make_shared<seismicOrigin>();
    const QDateTime when(QDate(2011, 3, 11), QTime(5, 46, 24), QTimeZone::utc());
    origin->setOriginDateTime(when);
    const helicorderOrigin quake(origin);
    // No magnitude list at all: zeros.
    EXPECT_EQ(quake.mb(), 0.0f);
    EXPECT_EQ(quake.Ms(), 0.0f);
    EXPECT_EQ(quake.Mw(), 0.0f);

    origin->setMagnitudes({magnitude("mb", 6.1f), magnitude("MB", 6.4f), magnitude("Ms", 8.1f),
                           magnitude("mww", 9.0f), magnitude("Mwc", 9.1f), magnitude("ML", 7.0f),
                           magnitude("msz", 7.9f)});
    EXPECT_EQ(quake.oDate(), when);
    EXPECT_FLOAT_EQ(quake.mb(), 6.4f);
    EXPECT_FLOAT_EQ(quake.Ms(), 8.1f); // "msz" is not Ms
    EXPECT_FLOAT_EQ(quake.Mw(), 9.1f); // any type starting with Mw
}

TEST(HelicorderOrigin, WithoutMbMsOrMwTheTablesMagnitudeMarksTheEvent) {
    const QDateTime start(QDate(2026, 12, 7), QTime(20, 0), QTimeZone::utc());
    const auto originAt = [&](int seconds, float shown) {
        auto o = std::make_shared<seismicOrigin>();
        o->setOriginDateTime(start.addSecs(seconds));
        o->setMagnitude(shown);
        return o;
    };
    // As the EMSC list and the INGV table give an event: the table's magnitude, no records.
    const auto listed = originAt(1800, 5.2f);
    // As the USGS feed gives a local event: its one record an ML.
    const auto local = originAt(2400, 4.4f);
    local->setMagnitudes({magnitude("ML", 4.4f)});
    // A record of the three is the event's size, whatever the table shows.
    const auto weighed = originAt(3000, 4.6f);
    weighed->setMagnitudes({magnitude("Mw", 3.5f), magnitude("ML", 4.6f)});

    const helicorderOrigin listedQuake(listed), localQuake(local), weighedQuake(weighed);
    EXPECT_FLOAT_EQ(listedQuake.mb(), 5.2f);
    EXPECT_EQ(listedQuake.Ms(), 0.0f);
    EXPECT_EQ(listedQuake.Mw(), 0.0f);
    EXPECT_FLOAT_EQ(localQuake.mb(), 4.4f);
    EXPECT_EQ(weighedQuake.mb(), 0.0f);
    EXPECT_FLOAT_EQ(weighedQuake.Mw(), 3.5f);

    // Drawn from M 4 over a silent hour: 1008 × 636 points put the first row's bars 20 points
    // high above y 552, at 72 points plus a quarter point a second.
    helicorderView view;
    view.resize(1008, 636);
    auto silent = std::make_shared<SacObject>();
    silent->InitWithSamples(std::vector<float>(3600, 0.0f), 1, 0, start);
    view.setWvfrmArray({silent});
    view.setTheHypoArray({std::make_shared<helicorderOrigin>(listed),
                          std::make_shared<helicorderOrigin>(local),
                          std::make_shared<helicorderOrigin>(weighed)});
    const QImage image = seismogramTestSupport::render(view);
    const double barY = 567.5;
    EXPECT_TRUE(seismogramTestSupport::inkNear(image, 72 + 1800 * 0.25, barY));
    EXPECT_TRUE(seismogramTestSupport::inkNear(image, 72 + 2400 * 0.25, barY));
    EXPECT_FALSE(seismogramTestSupport::inkNear(image, 72 + 3000 * 0.25, barY, 3));
}
