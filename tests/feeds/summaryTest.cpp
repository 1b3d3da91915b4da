#include "NEIC_QueryController.h"
#include "fdsnEventQueryController.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<seismicOrigin> origin(float magnitude, float depth, const char* region, int day) {
    auto o = std::make_shared<seismicOrigin>();
    o->setMagnitude(magnitude);
    o->setDepth(depth);
    o->setShortFlinnEngdahlString(QString::fromUtf8(region));
    o->setOriginDateTime(QDateTime(QDate(2026, 12, day), QTime(14, 5, 9), QTimeZone::utc()));
    return o;
}

const QDateTime now(QDate(2026, 12, 8), QTime(9, 30), QTimeZone::utc());

} // namespace

TEST(SeismicitySummary, FullTextOfAHandBuiltList) {
    NEIC_QueryController c;
    c.setSeismicOrigins(
        {origin(5.0f, 70.0f, "FIJI ISLANDS REGION", 1), origin(6.0f, 400.0f, "TONGA ISLANDS", 2),
         origin(5.9f, 69.9f, "SOUTHERN ALASKA", 3), origin(3.99f, 399.9f, "CENTRAL ITALY", 4),
         origin(6.0f, 10.4f, "NEAR EAST COAST OF HONSHU, JAPAN", 5)});
    const QString expected = QString::fromUtf8(
        "A Global Seismicity Summary\n"
        "Tuesday, December 08, 2026, at 09:30 UTC\n\n"
        "In the last seven days the US Geological Survey identified and located 5 seismic events "
        "with magnitudes greater than or equal to 5.0. "
        "The largest event was a magnitude 6.0 event that occurred on Saturday, December 05 at "
        "14:05 UTC with location: NEAR EAST COAST OF HONSHU, JAPAN.\n"
        "\nThe earthquake list includes \n"
        "    2 events with 6.0 ≤ M < 7.0\n"
        "    2 events with 5.0 ≤ M < 6.0\n"
        "    1 events with 3.0 ≤ M < 4.0\n"
        "\nThe depth distribution of events is\n"
        "  3 events with 0 km ≤ Depth <= 70 km\n"
        "  1 events with 70 km < Depth < 400 km\n"
        "  1 events with Depth ≥ 400 km\n"
        "\nFor events larger than M 4.0, there were\n"
        "  3 events with 0 km ≤ Depth <= 70 km.\n"
        "  0 events with 70 km < Depth < 400 km.\n"
        "  1 events with Depth ≥ 400 km.\n"
        "\nThe following events have magnitudes of 6.0 or larger \n"
        "\n * A magnitude 6.0 on Wednesday, December 02 at 14:05 UTC, location: TONGA ISLANDS (400 "
        "km deep).\n"
        "\n * A magnitude 6.0 on Saturday, December 05 at 14:05 UTC, location: NEAR EAST COAST OF "
        "HONSHU, JAPAN (10 km deep).\n");
    EXPECT_EQ(c.summarizeTheSeismicActivity(now), expected);
    // The signs are the Unicode characters, written as UTF-8.
    EXPECT_TRUE(c.summarizeTheSeismicActivity(now).toUtf8().contains("\xe2\x89\xa4"));
}

TEST(SeismicitySummary, EmptyListsBaseTextsAndYearEnd) {
    EQ_QueryController base;
    EXPECT_EQ(base.summarizeTheSeismicActivity(now), "");

    base.setSeismicOrigins({origin(4.0f, 5.0f, "CRETE, GREECE", 1)});
    const QString text = base.summarizeTheSeismicActivity(now);
    EXPECT_TRUE(text.startsWith(
        "A Seismicity Summary\nTuesday, December 08, 2026, at 09:30 UTC\n\n"
        "I have loaded 1 seismic events with magnitudes greater than or equal to 3.0. "));
    EXPECT_TRUE(
        text.contains("  1 events with 0 km ≤ Depth <= 70 km.\n")); // 4.0 counts among M ≥ 4
    EXPECT_TRUE(text.endsWith("\nThe following events have magnitudes of 6.0 or larger \n"));

    // In the last days of December the title keeps the calendar year.
    const QDateTime yearEnd(QDate(2026, 12, 29), QTime(10, 0), QTimeZone::utc());
    EXPECT_TRUE(base.summarizeTheSeismicActivity(yearEnd).contains(
        "Tuesday, December 29, 2026, at 10:00 UTC"));

    fdsnEventQueryController fdsn;
    fdsn.setSeismicOrigins({origin(7.0f, 5.0f, "X", 1)});
    EXPECT_TRUE(fdsn.summarizeTheSeismicActivity(now).startsWith("A Global Seismicity Summary\n"));
}

TEST(SeismicitySummary, TiesNameTheLastAndOutOfRangeMagnitudesHaveNoBin) {
    EQ_QueryController c;
    c.setSeismicOrigins({origin(5.5f, 10, "FIRST", 1), origin(5.5f, 10, "SECOND", 2),
                         origin(-0.5f, 10, "NEGATIVE", 3), origin(11.0f, 500, "HUGE", 4)});
    const QString text = c.summarizeTheSeismicActivity(now);
    EXPECT_TRUE(text.contains("magnitude 11.0 event") && text.contains("location: HUGE."));
    EXPECT_TRUE(text.contains("located") == false);
    EXPECT_TRUE(text.contains("I have loaded 4 seismic events"));
    EXPECT_TRUE(text.contains("    2 events with 5.0 ≤ M < 6.0\n"));
    EXPECT_FALSE(text.contains("11.0 ≤ M"));
    EXPECT_FALSE(text.contains("-1.0 ≤ M"));
    EXPECT_TRUE(text.contains("  3 events with 0 km ≤ Depth <= 70 km\n"));
    EXPECT_TRUE(text.contains("  1 events with Depth ≥ 400 km\n"));

    EQ_QueryController tie;
    tie.setSeismicOrigins({origin(5.5f, 10, "FIRST", 1), origin(5.5f, 10, "SECOND", 2)});
    EXPECT_TRUE(tie.summarizeTheSeismicActivity(now).contains("location: SECOND."));
}
