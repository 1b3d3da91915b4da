#include "keyedArchiver.h"
#include "keyedUnarchiver.h"
#include "seismicOrigin.h"

#include <gtest/gtest.h>

namespace {

using Type = keyedArchiveValue::Type;

// A record archived to bytes and read back, as a file or the cache would do it.
std::shared_ptr<seismicOrigin> roundTrip(const seismicOrigin& o,
                                         keyedArchiveValue* stored = nullptr) {
    keyedArchiver coder;
    o.encodeWithCoder(coder);
    const auto back = keyedArchiveValue::fromArchivedData(coder.archivedObject().archivedData());
    EXPECT_TRUE(back.ok()) << qPrintable(back.error());
    if (stored)
        *stored = *back;
    keyedUnarchiver reader(*back);
    auto result = seismicOrigin::initWithCoder(reader);
    EXPECT_FALSE(reader.failed()) << qPrintable(reader.errorString());
    return result;
}

seismicOrigin fullOrigin() {
    seismicOrigin o;
    o.setCatalog(QStringLiteral("USGS"));
    o.setEventID(QStringLiteral("us1000778i"));
    o.setNetwork_code(QStringLiteral("us"));
    o.setTimeStamp(QStringLiteral("stamp"));
    o.setVersion(QStringLiteral("22"));
    o.setYear(2016);
    o.setMonth(11);
    o.setDay(13);
    o.setHour(11);
    o.setMinute(2);
    o.setSecond(56);
    o.setMsec(340);
    o.setOriginCalendar(QCalendar(QCalendar::System::Gregorian));
    o.setOriginDateTime(QDateTime(QDate(2016, 11, 13), QTime(11, 2, 56, 340), QTimeZone::utc()));
    QVRDateComponents c;
    c.year = 2016;
    c.month = 11;
    c.second = 56;
    o.setOriginDateComponents(c);
    o.setEpochTime(1479034976.34);
    o.setLocationContributor(QStringLiteral("USGS-us"));
    o.setLatitude(-42.7373f);
    o.setLongitude(173.054f);
    o.setDepth(15.11f);
    o.setMagnitude(7.8f);
    o.setNum_phases(123);
    o.setDis_first_station(0.12f);
    o.setRms_error(1.05f);
    o.setHor_error(5.5f);
    o.setVer_error(1.8f);
    o.setAzimuthal_gap(19.0f);
    o.setStand_mag_error(0.03f);
    o.setLocation_method(QStringLiteral("method"));
    o.setLocation_method_ext(QStringLiteral("ext"));
    o.setCsvRegionString(QStringLiteral("54 km NNE of Amberley, New Zealand"));
    o.setMyGreg(706);
    o.setMySreg(44);
    o.setFlinnEngdahlString(QStringLiteral("SOUTH ISLAND, NEW ZEALAND (New Zealand Region)"));
    o.setShortFlinnEngdahlString(QStringLiteral("SOUTH ISLAND, NEW ZEALAND"));
    o.setMagnitude_type(QStringLiteral("mww"));
    o.setMagnitude_type_ext(QStringLiteral("typeExt"));
    o.setNum_stations_mag(17);
    auto m = std::make_shared<QVRMagnitude>();
    m->setMagnitudeType(QStringLiteral("mww"));
    m->setContributor(QStringLiteral("us"));
    m->setMagnitudeComment(QStringLiteral("comment"));
    m->setMvalue(7.8f);
    m->setNObs(12);
    m->setUncertainty(0.1f);
    o.addObjectToMagnitudes(m);
    o.addObjectToMagnitudes(std::make_shared<QVRMagnitude>());
    // Not archived:
    o.setDoy(318);
    o.setTsunamiFlag(1);
    o.setCasualtyFlag(QStringLiteral("C"));
    o.setPhases({QStringLiteral("P")});
    o.setEventType(QStringLiteral("earthquake"));
    o.setOriginInformationStatus(QStringLiteral("reviewed"));
    o.setPagerAlertLevel(QStringLiteral("orange"));
    o.setDetailURL(QStringLiteral("https://example.invalid/detail"));
    o.setNFeltReports(4);
    o.setLastUpdateEpochTime(1500000000);
    o.setTzOffsetInMinutes(720);
    o.setMaxInstrumentalIntensity(9.1f);
    o.setMaxReportedIntensity(8.2f);
    o.setEventSignificance(2910);
    o.setGsLinks(QMap<QString, QString>{{QStringLiteral("onePagerLink"), QStringLiteral("x")}});
    return o;
}

} // namespace

TEST(KeyedArchive, OriginRoundTripRestoresArchivedFieldsAndBlanksTheRest) {
    const seismicOrigin o = fullOrigin();
    const auto r = roundTrip(o);
    EXPECT_EQ(r->catalog(), o.catalog());
    EXPECT_EQ(r->eventID(), o.eventID());
    EXPECT_EQ(r->network_code(), o.network_code());
    EXPECT_EQ(r->timeStamp(), o.timeStamp());
    EXPECT_EQ(r->version(), o.version());
    EXPECT_EQ(r->year(), 2016);
    EXPECT_EQ(r->month(), 11);
    EXPECT_EQ(r->day(), 13);
    EXPECT_EQ(r->hour(), 11);
    EXPECT_EQ(r->minute(), 2);
    EXPECT_EQ(r->second(), 56);
    EXPECT_EQ(r->msec(), 340);
    ASSERT_TRUE(r->originCalendar().has_value());
    EXPECT_EQ(r->originCalendar()->name(), "Gregorian");
    EXPECT_EQ(r->originDateTime(), o.originDateTime());
    EXPECT_EQ(r->originDateComponents(), o.originDateComponents());
    EXPECT_EQ(r->epochTime(), o.epochTime());
    EXPECT_EQ(r->locationContributor(), o.locationContributor());
    EXPECT_EQ(r->latitude(), o.latitude());
    EXPECT_EQ(r->longitude(), o.longitude());
    EXPECT_EQ(r->depth(), o.depth());
    EXPECT_EQ(r->magnitude(), o.magnitude());
    EXPECT_EQ(r->num_phases(), 123);
    EXPECT_EQ(r->dis_first_station(), o.dis_first_station());
    EXPECT_EQ(r->rms_error(), o.rms_error());
    EXPECT_EQ(r->hor_error(), o.hor_error());
    EXPECT_EQ(r->ver_error(), o.ver_error());
    EXPECT_EQ(r->azimuthal_gap(), o.azimuthal_gap());
    EXPECT_EQ(r->stand_mag_error(), o.stand_mag_error());
    EXPECT_EQ(r->location_method(), o.location_method());
    EXPECT_EQ(r->location_method_ext(), o.location_method_ext());
    EXPECT_EQ(r->csvRegionString(), o.csvRegionString());
    EXPECT_EQ(r->myGreg(), 706);
    EXPECT_EQ(r->mySreg(), 44);
    EXPECT_EQ(r->flinnEngdahlString(), o.flinnEngdahlString());
    EXPECT_EQ(r->shortFlinnEngdahlString(), o.shortFlinnEngdahlString());
    EXPECT_EQ(r->magnitude_type(), o.magnitude_type());
    EXPECT_EQ(r->magnitude_type_ext(), o.magnitude_type_ext());
    EXPECT_EQ(r->num_stations_mag(), 17);

    ASSERT_EQ(r->countOfMagnitudes(), 2u);
    const auto m = r->objectInMagnitudesAtIndex(0);
    EXPECT_EQ(m->magnitudeType(), "mww");
    EXPECT_EQ(m->contributor(), "us");
    EXPECT_EQ(m->magnitudeComment(), "comment");
    EXPECT_EQ(m->mvalue(), 7.8f);
    EXPECT_EQ(m->nObs(), 12);
    EXPECT_EQ(m->uncertainty(), 0.1f);
    EXPECT_TRUE(r->objectInMagnitudesAtIndex(1)->magnitudeType().isNull());
    // The list read back is the record's own and can grow.
    r->addObjectToMagnitudes(std::make_shared<QVRMagnitude>());
    EXPECT_EQ(r->countOfMagnitudes(), 3u);

    EXPECT_EQ(r->doy(), 0);
    EXPECT_FALSE(r->tsunamiFlag().isValid());
    EXPECT_FALSE(r->casualtyFlag().isValid());
    EXPECT_FALSE(r->phases().has_value());
    EXPECT_TRUE(r->eventType().isNull());
    EXPECT_TRUE(r->originInformationStatus().isNull());
    EXPECT_TRUE(r->pagerAlertLevel().isNull());
    EXPECT_TRUE(r->detailURL().isNull());
    EXPECT_EQ(r->nFeltReports(), 0);
    EXPECT_EQ(r->lastUpdateEpochTime(), 0);
    EXPECT_FALSE(r->lastUpdateTime().isValid());
    EXPECT_EQ(r->tzOffsetInMinutes(), 0);
    EXPECT_EQ(r->maxInstrumentalIntensity(), 0.0f);
    EXPECT_EQ(r->maxReportedIntensity(), 0.0f);
    EXPECT_EQ(r->eventSignificance(), 0);
    EXPECT_FALSE(r->gsLinks().has_value());
}

TEST(KeyedArchive, KeysComeInTheirFixedOrderWithTheirTypes) {
    keyedArchiveValue stored;
    roundTrip(fullOrigin(), &stored);
    const std::vector<std::pair<const char*, Type>> expected = {
        {"catalog", Type::Text},
        {"eventID", Type::Text},
        {"network_code", Type::Text},
        {"timeStamp", Type::Text},
        {"version", Type::Text},
        {"year", Type::Int},
        {"month", Type::Int},
        {"day", Type::Int},
        {"hour", Type::Int},
        {"minute", Type::Int},
        {"second", Type::Int},
        {"msec", Type::Int},
        {"originCalendar", Type::Text},
        {"originDateTime", Type::Date},
        {"originDateComponents", Type::Object},
        {"epochTime", Type::Double},
        {"locationContributor", Type::Text},
        {"latitude", Type::Float},
        {"longitude", Type::Float},
        {"depth", Type::Float},
        {"magnitude", Type::Float},
        {"num_phases", Type::Int},
        {"dis_first_station", Type::Float},
        {"rms_error", Type::Float},
        {"hor_error", Type::Float},
        {"ver_error", Type::Float},
        {"azimuthal_gap", Type::Float},
        {"stand_mag_error", Type::Float},
        {"location_method", Type::Text},
        {"location_method_ext", Type::Text},
        {"csvRegionString", Type::Text},
        {"myGreg", Type::Int},
        {"mySreg", Type::Int},
        {"flinnEngdahlString", Type::Text},
        {"shortFlinnEngdahlString", Type::Text},
        {"magnitude_type", Type::Text},
        {"magnitude_type_ext", Type::Text},
        {"num_stations_mag", Type::Int},
        {"magnitudes", Type::List}};
    ASSERT_EQ(stored.entries.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(stored.entries[i].first, QLatin1StringView(expected[i].first)) << i;
        EXPECT_EQ(stored.entries[i].second.type, expected[i].second) << expected[i].first;
    }

    const keyedArchiveValue& magnitude = stored.entries.back().second.items.at(0);
    const std::vector<std::pair<const char*, Type>> magnitudeKeys = {
        {"magnitudeType", Type::Text},
        {"contributor", Type::Text},
        {"magnitudeComment", Type::Text},
        {"mvalue", Type::Float},
        {"nObs", Type::Float},
        {"uncertainty", Type::Float}};
    ASSERT_EQ(magnitude.entries.size(), magnitudeKeys.size());
    for (size_t i = 0; i < magnitudeKeys.size(); ++i) {
        EXPECT_EQ(magnitude.entries[i].first, QLatin1StringView(magnitudeKeys[i].first));
        EXPECT_EQ(magnitude.entries[i].second.type, magnitudeKeys[i].second);
    }
    // The observation count is a float in the archive.
    EXPECT_EQ(magnitude.find(QStringLiteral("nObs"))->floatValue, 12.0f);
}

TEST(KeyedArchive, BlankRecordKeepsAbsentValuesAbsent) {
    const auto r = roundTrip(seismicOrigin());
    EXPECT_TRUE(r->catalog().isNull());
    EXPECT_FALSE(r->originDateTime().isValid());
    EXPECT_FALSE(r->originCalendar().has_value());
    EXPECT_FALSE(r->originDateComponents().has_value());
    EXPECT_FALSE(r->hasMagnitudeList());
}

TEST(KeyedArchive, MissingKeysReadAsBlankAndWrongTypesFail) {
    keyedArchiver coder;
    coder.encodeObject(QStringLiteral("Mw"), QStringLiteral("magnitudeType"));
    coder.encodeFloat(6.5f, QStringLiteral("mvalue"));
    coder.encodeInt(7, QStringLiteral("nObs")); // an integer where a float is usual still reads
    keyedUnarchiver reader(coder.archivedObject());
    const auto m = QVRMagnitude::initWithCoder(reader);
    EXPECT_FALSE(reader.failed());
    EXPECT_EQ(m->uncertainty(), 0.0f);
    EXPECT_EQ(m->nObs(), 7);
    EXPECT_TRUE(m->contributor().isNull());

    keyedArchiver bad;
    bad.encodeObject(QStringLiteral("text"), QStringLiteral("mvalue"));
    keyedUnarchiver badReader(bad.archivedObject());
    QVRMagnitude::initWithCoder(badReader);
    EXPECT_TRUE(badReader.failed());
    EXPECT_TRUE(badReader.errorString().contains(QStringLiteral("mvalue")));

    keyedArchiver huge;
    huge.encodeDouble(1e300, QStringLiteral("year"));
    keyedUnarchiver hugeReader(huge.archivedObject());
    EXPECT_EQ(hugeReader.decodeInt(QStringLiteral("year")), 0);
    EXPECT_TRUE(hugeReader.failed());
}
