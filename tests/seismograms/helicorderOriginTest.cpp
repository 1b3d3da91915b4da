// An origin record as the helicorder's earthquake: the largest magnitude of each kind.

#include "helicorderOrigin.h"
#include "QVRMagnitude.h"

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
