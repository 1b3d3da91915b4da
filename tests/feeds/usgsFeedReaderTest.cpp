#include "NEIC_QueryController.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cmath>

namespace {

QVRResult<EQ_QueryController::parsedOrigins> read(const QByteArray& json) {
    return NEIC_QueryController::readUSGSGeoJSONFeed(json);
}

// One feature with the given coordinates and properties, written as they stand.
QByteArray featureOf(const char* coordinates, const QByteArray& properties) {
    return QByteArray(R"({"features":[{"geometry":{"coordinates":)") + coordinates +
           R"(},"properties":{)" + properties + "}}]}";
}

} // namespace

TEST(UsgsFeedReader, EscapedAndNonAsciiTextsComeOutAsWritten) {
    const auto feed = read(featureOf(
        "[1,2,3]",
        R"("place":"5 km N of S\u00e3o \"Jo\u00e3o\" \\ a\/b, \u6771\u4eac \ud83d\ude00 Ñ","ids":",\u0075s1,ci2,","net":"","status":"r\u00e9vis\u00e9","magType":"M\u0077w","mag":5)"));
    ASSERT_TRUE(feed);
    ASSERT_EQ(feed->origins.size(), 1);
    const seismicOrigin& o = *feed->origins.first();
    EXPECT_EQ(o.csvRegionString(),
              QString::fromUtf8("5 km N of São \"João\" \\ a/b, 東京 \xF0\x9F\x98\x80 Ñ"));
    EXPECT_EQ(o.eventID(), "us1");
    EXPECT_EQ(o.originInformationStatus(), QString::fromUtf8("révisé"));
    EXPECT_EQ(o.magnitude_type(), "Mww");
    // An empty network is given, and so differs from a missing one.
    EXPECT_FALSE(o.network_code().isNull());
    EXPECT_TRUE(o.network_code().isEmpty());
}

TEST(UsgsFeedReader, NumbersInEveryJsonFormAndRepeatedKeys) {
    const auto feed = read(featureOf(
        "[-7.15e1,1.225E+1,-0.0,99]",
        R"("mag":5,"time":1.3385088E12,"nst":"12","tsunami":1.0,"sig":7.9e2,"gap":-0,"felt":12.9,"rms":1,"rms":0.5,"tz":null,"tz":-300)"));
    ASSERT_TRUE(feed);
    ASSERT_EQ(feed->origins.size(), 1);
    const seismicOrigin& o = *feed->origins.first();
    EXPECT_FLOAT_EQ(o.longitude(), -71.5f);
    EXPECT_FLOAT_EQ(o.latitude(), 12.25f);
    EXPECT_EQ(o.depth(), 0.0f);
    EXPECT_FALSE(std::signbit(o.depth())); // -0.0 is read as the whole number 0
    EXPECT_FLOAT_EQ(o.magnitude(), 5.0f);
    EXPECT_EQ(o.originDateTime().toMSecsSinceEpoch(), 1338508800000);
    EXPECT_EQ(o.num_stations_mag(), 0); // a text where a number belongs reads as 0
    EXPECT_EQ(o.tsunamiFlag().typeId(), QMetaType::LongLong); // a whole number, however written
    EXPECT_EQ(o.tsunamiFlag(), QVariant(qlonglong(1)));
    EXPECT_EQ(o.eventSignificance(), 790);
    EXPECT_EQ(o.nFeltReports(), 12);
    EXPECT_FLOAT_EQ(o.rms_error(), 0.5f); // the last of repeated keys counts
    EXPECT_EQ(o.tzOffsetInMinutes(), -300);

    const auto fraction = read(featureOf("[]", R"("mag":1,"tsunami":0.5)"));
    ASSERT_TRUE(fraction);
    EXPECT_EQ(fraction->origins.first()->tsunamiFlag(), QVariant(0.5));
    const auto list = read(featureOf("[]", R"("mag":1,"tsunami":[1,2.5,"x"])"));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->origins.first()->tsunamiFlag(),
              QVariant(QVariantList{qlonglong(1), 2.5, QStringLiteral("x")}));
}

TEST(UsgsFeedReader, OddShapesAreReadAsBlanksOrSkipped) {
    const auto feed = read(R"({"features":[
        {"geometry":{"coordinates":"1,2,3"},"properties":[1]},
        "a feature", 7, null, [],
        {"geometry":{"coordinates":[10]},"properties":{"mag":4.5,"place":5,"ids":[",us1,"]}}]})");
    ASSERT_TRUE(feed);
    EXPECT_EQ(feed->skippedRows, 4);
    ASSERT_EQ(feed->origins.size(), 2);
    EXPECT_EQ(feed->origins.at(0)->longitude(), 0.0f);
    EXPECT_EQ(feed->origins.at(0)->countOfMagnitudes(), 0u);
    const seismicOrigin& b = *feed->origins.at(1);
    EXPECT_FLOAT_EQ(b.longitude(), 10.0f);
    EXPECT_EQ(b.latitude(), 0.0f);
    EXPECT_TRUE(b.csvRegionString().isNull());
    EXPECT_TRUE(b.eventID().isNull());

    // A feed whose "features" is no list, or an array document, has no origins but is read.
    EXPECT_TRUE(read(R"({"features":{"0":{}}})")->origins.isEmpty());
    EXPECT_TRUE(read("[1,2,3]")->origins.isEmpty());
}

TEST(UsgsFeedReader, BrokenTruncatedDeepAndBareDocumentsAreRefused) {
    QFile f(QStringLiteral(QUORVEL_TEST_DATA "/feeds/sgoggins_2.5_month_20251029.geojson"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray whole = f.readAll();
    for (const QByteArray& broken :
         {whole.left(whole.size() / 2), whole.left(whole.size() - 1), QByteArray(),
          QByteArray("  "), QByteArray(R"({"features":[{"properties":{"place":"a)"),
          QByteArray("5"), QByteArray(R"("features")"), QByteArray(R"({"features":[]} x)"),
          QByteArray(R"({"features":[{"properties":{"place":")"
                     "\xff"
                     R"("}}]})"),
          featureOf("[]", QByteArray(R"("mag":1,"deep":)") + QByteArray(2000, '[') +
                              QByteArray(2000, ']'))}) {
        const auto feed = read(broken);
        ASSERT_FALSE(feed) << broken.left(60).constData();
        EXPECT_TRUE(feed.error().startsWith("not valid JSON: ")) << qPrintable(feed.error());
    }
    // As deep as the JSON parser has always allowed is still read.
    EXPECT_TRUE(read(featureOf("[]", QByteArray(R"("mag":1,"deep":)") + QByteArray(1000, '[') +
                                         QByteArray(1000, ']'))));
}
