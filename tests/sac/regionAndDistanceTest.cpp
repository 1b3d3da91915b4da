#include "delta_az.h"
#include "flinnEngdahl.h"
#include "monthdate.h"

#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>

#include <gtest/gtest.h>

namespace {

struct regionPoint {
    float latitude, longitude;
    int greg, sreg;
    const char* name;
};

// Expected regions read off the published tables by hand-rule (truncated absolute degrees),
// among them the cells on both sides of quadrant, whole-degree and date-line boundaries.
const regionPoint regionPoints[] = {
    {48.0f, 12.0f, 543, 36, "GERMANY"},
    {50.0f, 10.0f, 543, 36, "GERMANY"},
    {-42.45f, 171.21f, 162, 11, "SOUTH ISLAND, NEW ZEALAND"},
    {37.87f, -122.27f, 39, 3, "CENTRAL CALIFORNIA"},
    {41.44f, -71.5f, 476, 34, "SOUTHERN NEW ENGLAND"},
    {-77.85f, 166.68f, 727, 50, "VICTORIA LAND, ANTARCTICA"},
    {0.0f, 0.0f, 561, 37, "OFF S. COAST OF NORTHWEST AFRICA"},
    {0.5f, -0.5f, 561, 37, "OFF S. COAST OF NORTHWEST AFRICA"},
    {-0.5f, 0.5f, 409, 32, "SOUTH ATLANTIC OCEAN"},
    {-0.5f, -0.5f, 409, 32, "SOUTH ATLANTIC OCEAN"},
    {90.0f, 0.0f, 633, 40, "LOMONOSOV RIDGE"},
    {-90.0f, 0.0f, 729, 50, "ANTARCTICA"},
    {89.9f, 179.9f, 633, 40, "LOMONOSOV RIDGE"},
    {0.0f, 180.0f, 618, 39, "GILBERT ISLANDS, KIRIBATI REGION"},
    {0.0f, -180.0f, 618, 39, "GILBERT ISLANDS, KIRIBATI REGION"},
    {10.0f, 190.0f, 611, 39, "NORTH PACIFIC OCEAN"},
    // The date line itself is the east side's last cell, from either direction.
    {-19.6f, -180.0f, 171, 12, "SOUTH OF FIJI ISLANDS"},
    {-19.6f, 180.0f, 171, 12, "SOUTH OF FIJI ISLANDS"},
    {-19.6f, 540.0f, 171, 12, "SOUTH OF FIJI ISLANDS"},
    {-19.6f, -179.5f, 181, 13, "FIJI ISLANDS REGION"},
    {10.0f, -190.0f, 615, 39, "MARSHALL ISLANDS REGION"},
    {9.0f, 8.999f, 755, 37, "NIGERIA"},
    {0.0f, 9.0f, 565, 37, "GABON"},
    {0.0f, 8.999f, 561, 37, "OFF S. COAST OF NORTHWEST AFRICA"},
    {10.0f, -10.0f, 747, 37, "GUINEA REGION"},
    {9.999f, -10.0f, 747, 37, "GUINEA REGION"},
    {-10.0f, 10.0f, 409, 32, "SOUTH ATLANTIC OCEAN"},
    {-9.999f, 9.999f, 409, 32, "SOUTH ATLANTIC OCEAN"},
    {35.7f, 139.7f, 230, 19, "NEAR S. COAST OF HONSHU, JAPAN"},
    {-33.45f, -70.66f, 127, 8, "CHILE-ARGENTINA BORDER REGION"},
    {61.2f, -149.9f, 2, 1, "SOUTHERN ALASKA"},
    {19.4f, -99.1f, 523, 34, "CENTRAL MEXICO"},
    {38.3f, 142.4f, 228, 19, "NEAR EAST COAST OF HONSHU, JAPAN"},
    {-6.2f, 106.8f, 277, 24, "JAVA, INDONESIA"},
    {27.7f, 85.3f, 310, 26, "NEPAL"},
    {40.8f, 14.25f, 390, 31, "SOUTHERN ITALY"},
    {64.1f, -21.9f, 638, 40, "ICELAND"},
    {-54.8f, -68.3f, 147, 10, "TIERRA DEL FUEGO"},
    {13.4f, 144.8f, 216, 18, "MARIANA ISLANDS"},
    {-17.7f, 168.3f, 186, 14, "VANUATU ISLANDS"},
    {52.0f, -176.0f, 7, 1, "ANDREANOF ISLANDS, ALEUTIAN IS."},
    {-0.5f, -91.0f, 697, 44, "GALAPAGOS ISLANDS, ECUADOR"},
    {1.0f, -179.0f, 611, 39, "NORTH PACIFIC OCEAN"},
    {-60.0f, -30.0f, 153, 10, "SOUTH SANDWICH ISLANDS REGION"},
    {80.0f, 100.0f, 652, 40, "SEVERNAYA ZEMLYA, RUSSIA"},
    {37.75f, -25.7f, 405, 32, "AZORES ISLANDS, PORTUGAL"},
};

} // namespace

TEST(FlinnEngdahl, KnownPointsGetTheirRegions) {
    for (const regionPoint& p : regionPoints) {
        int greg = -1, sreg = -1;
        fe_lookup(p.latitude, 32, p.longitude, 32, &greg, &sreg);
        EXPECT_EQ(greg, p.greg) << p.latitude << " " << p.longitude;
        EXPECT_EQ(sreg, p.sreg) << p.latitude << " " << p.longitude;
        const char* geographic = nullptr;
        const char* seismic = nullptr;
        fe_region(&greg, &geographic, &sreg, &seismic);
        EXPECT_STREQ(geographic, p.name);
    }
}

TEST(FlinnEngdahl, SeismicNamesAndRegionsAddedIn1995) {
    const int germany = 543, nwEurope = 36;
    const char* geographic = nullptr;
    const char* seismic = nullptr;
    fe_region(&germany, &geographic, &nwEurope, &seismic);
    EXPECT_STREQ(seismic, "Northwestern Europe");
    const int sahara = 743, africa = 37;
    fe_region(&sahara, &geographic, &africa, &seismic);
    EXPECT_STREQ(geographic, "WESTERN SAHARA");
    EXPECT_STREQ(seismic, "Africa");
    const int last = 757, galapagos = 44;
    fe_region(&last, &geographic, &galapagos, &seismic);
    EXPECT_STREQ(geographic, "GALAPAGOS TRIPLE JUNCTION REGION");
    EXPECT_STREQ(seismic, "Galapagos Islands Area");
}

TEST(FlinnEngdahl, OutOfRangeInputsGiveTheUnknownRegion) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (auto [lat, lon] : {std::pair{90.01f, 0.0f},
                            {-91.0f, 10.0f},
                            {nan, 0.0f},
                            {0.0f, nan},
                            {1e30f, 0.0f},
                            {0.0f, inf},
                            {-inf, 0.0f}}) {
        int greg = -1, sreg = -1;
        fe_lookup(lat, 32, lon, 32, &greg, &sreg);
        EXPECT_EQ(greg, 0);
        EXPECT_EQ(sreg, 0);
    }
    const char* geographic = nullptr;
    const char* seismic = nullptr;
    for (int bad : {0, -1, 758, 100000}) {
        fe_region(&bad, &geographic, &bad, &seismic);
        EXPECT_STREQ(geographic, "UNKNOWN REGION");
        EXPECT_STREQ(seismic, "Unknown Region");
    }
    // Large longitudes wrap.
    int greg = 0;
    fe_lookup(48.0f, 32, 12.0f + 720.0f, 32, &greg, nullptr);
    EXPECT_EQ(greg, 543);
    fe_region(nullptr, nullptr, nullptr, nullptr);
}

TEST(FlinnEngdahl, LookupsFromManyThreadsAgree) {
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&wrong] {
            for (int i = 0; i < 2000; ++i) {
                const regionPoint& p = regionPoints[size_t(i) % std::size(regionPoints)];
                int greg = 0, sreg = 0;
                fe_lookup(p.latitude, 32, p.longitude, 32, &greg, &sreg);
                const char* name = nullptr;
                fe_region(&greg, &name, &sreg, nullptr);
                if (greg != p.greg || std::strcmp(name, p.name) != 0)
                    ++wrong;
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST(Distance, GreatCircleDistancesAndAzimuths) {
    auto measure = [](float lat1, float lon1, float lat2, float lon2) {
        float delta = -1, az = -1;
        delta_az(&lat1, &lon1, &lat2, &lon2, &delta, &az);
        return std::pair{delta, az};
    };
    auto [d1, a1] = measure(0, 0, 0, 90);
    EXPECT_NEAR(d1, 90.0f, 1e-5);
    EXPECT_NEAR(a1, 90.0f, 1e-5);
    auto [d2, a2] = measure(0, 0, 45, 0);
    EXPECT_NEAR(d2, 45.0f, 1e-5);
    EXPECT_NEAR(a2, 0.0f, 1e-5);
    auto [d3, a3] = measure(10, 20, -10, 20);
    EXPECT_NEAR(d3, 20.0f, 1e-5);
    EXPECT_NEAR(a3, 180.0f, 1e-4);
    auto [d4, a4] = measure(0, 10, 0, -80);
    EXPECT_NEAR(d4, 90.0f, 1e-5);
    EXPECT_NEAR(a4, 270.0f, 1e-4);
    // Near 0°: a 128th of a degree (exact in floats) is not lost to rounding.
    auto [d5, a5] = measure(35.0f, 139.0f, 35.0f, 139.0f + 1.0f / 128.0f);
    EXPECT_NEAR(d5, std::cos(35.0 * M_PI / 180.0) / 128.0, 1e-8);
    EXPECT_NEAR(a5, 90.0f, 0.01);
    auto [d6, a6] = measure(1, 1, 1, 1);
    EXPECT_EQ(d6, 0.0f);
    (void)a6;
    // Near 180°: antipodes, and a point just off them.
    auto [d7, a7] = measure(0, 0, 0, 180);
    EXPECT_NEAR(d7, 180.0f, 1e-5);
    (void)a7;
    auto [d8, a8] = measure(0, 0, 0, 179.99f);
    EXPECT_NEAR(d8, 179.99f, 1e-4);
    EXPECT_NEAR(a8, 90.0f, 1e-3);
    // Berkeley to Tokyo, about 74.6°.
    auto [d9, a9] = measure(37.87f, -122.27f, 35.68f, 139.69f);
    EXPECT_NEAR(d9, 74.6f, 0.2);
    EXPECT_NEAR(a9, 303.0f, 1.0);
}

TEST(Distance, MonthAndDayOfGregorianYears) {
    int month = 0, day = 0;
    EXPECT_EQ(monthdate(2024, 60, &month, &day), 0);
    EXPECT_EQ(month, 2);
    EXPECT_EQ(day, 29);
    EXPECT_EQ(monthdate(2023, 60, &month, &day), 0);
    EXPECT_EQ(month, 3);
    EXPECT_EQ(day, 1);
    EXPECT_EQ(monthdate(1900, 366, &month, &day), -1); // not a leap year
    EXPECT_EQ(monthdate(2000, 366, &month, &day), 0);
    EXPECT_EQ(month, 12);
    EXPECT_EQ(day, 31);
    EXPECT_EQ(monthdate(2000, 0, &month, &day), -1);
    EXPECT_EQ(monthdate(2000, 1, nullptr, &day), -1);
}
