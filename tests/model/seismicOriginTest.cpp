#include "seismicOrigin.h"

#include <cmath>

#include <gtest/gtest.h>

namespace {

std::shared_ptr<QVRMagnitude> magnitude(float value, const char* type,
                                        const char* contributor = nullptr) {
    auto m = std::make_shared<QVRMagnitude>();
    m->setMvalue(value);
    m->setMagnitudeType(QString::fromUtf8(type));
    if (contributor)
        m->setContributor(QString::fromUtf8(contributor));
    return m;
}

} // namespace

TEST(SeismicOrigin, FreshRecordIsBlankAndMakesItsMagnitudeListOnFirstUse) {
    seismicOrigin o;
    EXPECT_TRUE(o.catalog().isNull());
    EXPECT_TRUE(o.eventID().isNull());
    EXPECT_FALSE(o.originDateTime().isValid());
    EXPECT_EQ(o.latitude(), 0.0f);
    EXPECT_EQ(o.epochTime(), 0.0);
    EXPECT_FALSE(o.gsLinks().has_value());
    EXPECT_FALSE(o.phases().has_value());
    EXPECT_FALSE(o.hasMagnitudeList());
    EXPECT_EQ(o.countOfMagnitudes(), 0u);
    EXPECT_TRUE(o.hasMagnitudeList());
}

TEST(SeismicOrigin, MagnitudeListOperationsKeepOrderAndRefuseBadIndexes) {
    seismicOrigin o;
    auto a = magnitude(5.1f, "mb");
    auto b = magnitude(5.4f, "Ms");
    auto c = magnitude(5.6f, "Mw");
    o.addObjectToMagnitudes(a);
    o.addObjectToMagnitudes(c);
    EXPECT_TRUE(o.insertObjectInMagnitudesAtIndex(b, 1));
    ASSERT_EQ(o.countOfMagnitudes(), 3u);
    EXPECT_EQ(o.objectInMagnitudesAtIndex(1), b);

    std::shared_ptr<QVRMagnitude> buffer[2];
    EXPECT_TRUE(o.getMagnitudes(buffer, 1, 2));
    EXPECT_EQ(buffer[0], b);
    EXPECT_EQ(buffer[1], c);
    EXPECT_FALSE(o.getMagnitudes(buffer, 2, 2));

    EXPECT_TRUE(o.replaceObjectInMagnitudesAtIndex(0, c));
    EXPECT_TRUE(o.removeObjectFromMagnitudesAtIndex(2));
    EXPECT_EQ(o.magnitudes(), (seismicOrigin::magnitudeList{c, b}));

    EXPECT_EQ(o.objectInMagnitudesAtIndex(2), nullptr);
    EXPECT_EQ(o.objectInMagnitudesAtIndex(-1), nullptr);
    EXPECT_FALSE(o.insertObjectInMagnitudesAtIndex(a, 3));
    EXPECT_FALSE(o.removeObjectFromMagnitudesAtIndex(2));
    EXPECT_FALSE(o.replaceObjectInMagnitudesAtIndex(5, a));
    EXPECT_EQ(o.countOfMagnitudes(), 2u);

    // The record keeps its own copy of a list it is given; the magnitudes stay shared.
    seismicOrigin::magnitudeList given{a};
    o.setMagnitudes(given);
    given.append(b);
    EXPECT_EQ(o.countOfMagnitudes(), 1u);
    EXPECT_EQ(o.objectInMagnitudesAtIndex(0), a);
}

TEST(SeismicOrigin, FirstOfEqualLargestMagnitudesWins) {
    seismicOrigin o;
    o.setMagnitude(9.9f);
    o.setMagnitude_type(QStringLiteral("old"));
    o.setMagnitudeToMaximumValue(); // empty list: nothing changes
    EXPECT_EQ(o.magnitude(), 9.9f);
    EXPECT_EQ(o.magnitude_type(), "old");

    o.addObjectToMagnitudes(magnitude(5.1f, "mb"));
    o.addObjectToMagnitudes(magnitude(5.4f, "Ms"));
    o.addObjectToMagnitudes(magnitude(5.4f, "Mw"));
    o.setMagnitudeToMaximumValue();
    EXPECT_EQ(o.magnitude(), 5.4f);
    EXPECT_EQ(o.magnitude_type(), "Ms");

    // The first entry counts even when it is smaller than the old preferred value, and an
    // entry without a type leaves the type absent.
    seismicOrigin p;
    p.setMagnitude(7.0f);
    auto untyped = std::make_shared<QVRMagnitude>();
    untyped->setMvalue(4.0f);
    p.addObjectToMagnitudes(untyped);
    p.setMagnitudeToMaximumValue();
    EXPECT_EQ(p.magnitude(), 4.0f);
    EXPECT_TRUE(p.magnitude_type().isNull());
}

TEST(SeismicOrigin, PreferredMagnitudeBecomesAListEntry) {
    seismicOrigin o;
    o.setNum_stations_mag(37);
    o.setMagnitude(6.2f);
    o.setMagnitude_type(QStringLiteral("Mww"));
    o.setLocation_method_ext(QStringLiteral("reviewed"));
    o.loadMagnitudeIntoMagArray();
    ASSERT_EQ(o.countOfMagnitudes(), 1u);
    const auto m = o.objectInMagnitudesAtIndex(0);
    EXPECT_EQ(m->nObs(), 37);
    EXPECT_EQ(m->mvalue(), 6.2f);
    EXPECT_EQ(m->magnitudeType(), "Mww");
    EXPECT_EQ(m->magnitudeComment(), "reviewed");
    EXPECT_TRUE(m->contributor().isNull());
}

TEST(SeismicOrigin, DatesFromComponentsAndFromUpdateSeconds) {
    seismicOrigin o;
    o.setYear(2012);
    o.setMonth(5);
    o.setDay(29);
    o.setHour(7);
    o.setMinute(0);
    o.setSecond(3);
    o.setMsec(999); // not used
    o.setEpochTime(42);
    o.setDateFromComponents();
    EXPECT_EQ(o.originDateTime(), QDateTime(QDate(2012, 5, 29), QTime(7, 0, 3), QTimeZone::utc()));
    EXPECT_EQ(o.epochTime(), 42.0);

    // Out-of-range fields carry over, as a calendar resolves them.
    o.setMonth(13);
    o.setDay(1);
    o.setHour(24);
    o.setDateFromComponents();
    EXPECT_EQ(o.originDateTime(), QDateTime(QDate(2013, 1, 2), QTime(0, 0, 3), QTimeZone::utc()));

    const int june2012 =
        int(QDateTime(QDate(2012, 6, 1), QTime(0, 0), QTimeZone::utc()).toSecsSinceEpoch());
    o.setLastUpdateEpochTime(june2012);
    EXPECT_EQ(o.lastUpdateEpochTime(), june2012);
    EXPECT_EQ(o.lastUpdateTime(), QDateTime(QDate(2012, 6, 1), QTime(0, 0), QTimeZone::utc()));
}

TEST(SeismicOrigin, PhaseListNeedsToBeSetBeforeItChanges) {
    seismicOrigin o;
    o.addPhase(QStringLiteral("P"));
    EXPECT_FALSE(o.phases().has_value());
    o.setPhases({QStringLiteral("P"), QStringLiteral("S"), QStringLiteral("P")});
    o.addPhase(QStringLiteral("PKP"));
    o.removePhase(QStringLiteral("P"));
    EXPECT_EQ(*o.phases(), (QVariantList{QStringLiteral("S"), QStringLiteral("PKP")}));
}

TEST(SeismicOrigin, ComparisonsOrderAscendingAndTreatUnorderedAsEqual) {
    seismicOrigin a, b;
    a.setDepth(10);
    b.setDepth(35);
    EXPECT_EQ(a.compareDepths(b), -1);
    EXPECT_EQ(b.compareDepths(a), 1);
    b.setDepth(10);
    EXPECT_EQ(a.compareDepths(b), 0);

    a.setMagnitude(5.0f);
    b.setMagnitude(std::nanf(""));
    EXPECT_EQ(a.compareMagnitudes(b), 0);
    EXPECT_EQ(b.compareMagnitudes(a), 0);
    b.setMagnitude(6.0f);
    EXPECT_EQ(a.compareMagnitudes(b), -1);

    a.setLatitude(-10);
    b.setLatitude(10);
    a.setLongitude(170);
    b.setLongitude(-170);
    EXPECT_EQ(a.compareLatitudes(b), -1);
    EXPECT_EQ(a.compareLongitudes(b), 1);

    a.setOriginDateTime(QDateTime(QDate(2020, 1, 1), QTime(0, 0), QTimeZone::utc()));
    b.setOriginDateTime(a.originDateTime().addMSecs(1));
    EXPECT_EQ(a.compareOriginTimes(b), -1);
    EXPECT_EQ(b.compareOriginTimes(a), 1);
    EXPECT_EQ(a.compareOriginTimes(a), 0);

    // Texts compare literally: upper case before lower case.
    a.setFlinnEngdahlString(QStringLiteral("Zagros (Iran)"));
    b.setFlinnEngdahlString(QStringLiteral("alaska (Alaska)"));
    EXPECT_EQ(a.compareFERegions(b), -1);
    a.setLocationContributor(QStringLiteral("us"));
    b.setLocationContributor(QStringLiteral("US"));
    EXPECT_EQ(a.compareContributor(b), 1);
    EXPECT_EQ(a.compareContributor(a), 0);
}

TEST(SeismicOrigin, AgeTextAtItsBounds) {
    const QDateTime now(QDate(2026, 12, 8), QTime(12, 0), QTimeZone::utc());
    auto ageAt = [&now](double secondsAgo) {
        seismicOrigin o;
        o.setOriginDateTime(now.addMSecs(-qint64(secondsAgo * 1000)));
        return o.originTimeSinceNow(now);
    };
    EXPECT_EQ(ageAt(30), "0 minutes");
    EXPECT_EQ(ageAt(3599), "59 minutes");
    EXPECT_EQ(ageAt(3600), "");
    EXPECT_EQ(ageAt(3601), "1 hour");
    EXPECT_EQ(ageAt(2.5 * 3600), "2 hours");
    EXPECT_EQ(ageAt(86399), "23 hours");
    EXPECT_EQ(ageAt(86400), "");
    EXPECT_EQ(ageAt(25 * 3600), "1 day");
    EXPECT_EQ(ageAt(6 * 86400 + 23 * 3600), "6 days");
    EXPECT_EQ(ageAt(7 * 86400 + 1), "1 week");
    EXPECT_EQ(ageAt(8 * 86400), "1 week");
    EXPECT_EQ(ageAt(14 * 86400 + 1), "2 weeks");
    EXPECT_EQ(ageAt(366 * 86400), "1 year");
    EXPECT_EQ(ageAt(800 * 86400), "2 years");
    EXPECT_EQ(ageAt(-120), "-2 minutes"); // clock skew: a future origin time
    EXPECT_EQ(seismicOrigin().originTimeSinceNow(now), "");
}

TEST(Magnitude, CountIsKeptAsFloatAndDescribed) {
    QVRMagnitude m;
    m.setNObs(12);
    EXPECT_EQ(m.nObs(), 12);
    m.setMvalue(6.1f);
    m.setMagnitudeType(QStringLiteral("Mw"));
    m.setContributor(QStringLiteral("USGS"));
    m.setNObs(0);
    EXPECT_EQ(m.description(), "Magnitude: 6.10 Type: Mw USGS, 0 observations.");
    EXPECT_EQ(QVRMagnitude().description(), "Magnitude: 0.00 Type: (null) (null), 0 observations.");
}
