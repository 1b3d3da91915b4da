#include "keyedArchiver.h"
#include "keyedUnarchiver.h"
#include "seismicOrigin.h"

#include <QCborStreamWriter>

#include <gtest/gtest.h>

#include <limits>

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

namespace {

// The keyed archive's bytes as QCborStreamWriter wrote them before the archiver wrote its own:
// files from then must read, and files from now must read in programs from then.
void appendEnvelope(QCborStreamWriter& w) {
    w.append(QCborKnownTags::Signature);
    w.startMap(3);
    w.append(QLatin1StringView("archiver"));
    w.append(QLatin1StringView("QVRKeyedArchive"));
    w.append(QLatin1StringView("version"));
    w.append(qint64(1));
    w.append(QLatin1StringView("root"));
}

QString loneSurrogate() {
    QString s = QStringLiteral("a");
    s.append(QChar(0xd800));
    return s;
}

// One value of every kind the archiver writes, at the edges of their encodings.
void encodeEveryKind(keyedArchiver& coder) {
    coder.encodeInt(0, QStringLiteral("zero"));
    coder.encodeInt(23, QStringLiteral("small"));
    coder.encodeInt(24, QStringLiteral("byte"));
    coder.encodeInt(65535, QStringLiteral("short"));
    coder.encodeInt(65536, QStringLiteral("long"));
    coder.encodeInt(-25, QStringLiteral("negative"));
    coder.encodeInt(std::numeric_limits<int>::min(), QStringLiteral("lowest"));
    coder.encodeFloat(-0.1f, QStringLiteral("float"));
    coder.encodeFloat(std::numeric_limits<float>::infinity(), QStringLiteral("infinite"));
    coder.encodeDouble(1479034976.34, QStringLiteral("double"));
    coder.encodeObject(QStringLiteral("USGS"), QStringLiteral("ascii"));
    coder.encodeObject(QString::fromUtf8("Amberl\xc3\xa9y \xf0\x9f\x98\x80"),
                       QStringLiteral("utf8"));
    coder.encodeObject(QString(QLatin1StringView("")), QStringLiteral("empty"));
    coder.encodeObject(QString(), QStringLiteral("absent"));
    coder.encodeObject(QString(300, QLatin1Char('x')), QStringLiteral("long text"));
    coder.encodeObject(loneSurrogate(), QStringLiteral("surrogate"));
    coder.encodeObject(QDateTime(QDate(1960, 1, 2), QTime(3, 4, 5, 6), QTimeZone::utc()),
                       QStringLiteral("date"));
    coder.encodeObject(QDateTime(), QStringLiteral("no date"));
    coder.encodeNestedObject(
        [](keyedArchiver& nested) { nested.encodeInt(7, QStringLiteral("n")); },
        QStringLiteral("nested"));
    auto m = std::make_shared<QVRMagnitude>();
    m->setMagnitudeType(QStringLiteral("ml"));
    m->setMvalue(4.5f);
    coder.encodeObjectList(QList<std::shared_ptr<QVRMagnitude>>{m, nullptr},
                           QStringLiteral("list"));
    coder.encodeObjectList(QList<std::shared_ptr<QVRMagnitude>>{}, QStringLiteral("none"));
}

QByteArray everyKindAsWrittenBefore() {
    QByteArray data;
    QCborStreamWriter w(&data);
    appendEnvelope(w);
    w.startMap(21);
    auto key = [&w](const char* k) { w.append(QLatin1StringView(k)); };
    key("zero"), w.append(qint64(0));
    key("small"), w.append(qint64(23));
    key("byte"), w.append(qint64(24));
    key("short"), w.append(qint64(65535));
    key("long"), w.append(qint64(65536));
    key("negative"), w.append(qint64(-25));
    key("lowest"), w.append(qint64(std::numeric_limits<int>::min()));
    key("float"), w.append(-0.1f);
    key("infinite"), w.append(std::numeric_limits<float>::infinity());
    key("double"), w.append(1479034976.34);
    key("ascii"), w.append(QStringView(u"USGS"));
    const QString utf8 = QString::fromUtf8("Amberl\xc3\xa9y \xf0\x9f\x98\x80");
    key("utf8"), w.append(QStringView(utf8));
    key("empty"), w.append(QStringView(u""));
    key("absent"), w.append(nullptr);
    const QString longText(300, QLatin1Char('x'));
    key("long text"), w.append(QStringView(longText));
    const QString surrogate = loneSurrogate();
    key("surrogate"), w.append(QStringView(surrogate));
    key("date"), w.append(QCborKnownTags::UnixTime_t);
    w.append(
        double(
            QDateTime(QDate(1960, 1, 2), QTime(3, 4, 5, 6), QTimeZone::utc()).toMSecsSinceEpoch()) /
        1000.0);
    key("no date"), w.append(nullptr);
    key("nested"), w.startMap(1);
    key("n"), w.append(qint64(7));
    w.endMap();
    key("list"), w.startArray(2);
    w.startMap(6);
    key("magnitudeType"), w.append(QStringView(u"ml"));
    key("contributor"), w.append(nullptr);
    key("magnitudeComment"), w.append(nullptr);
    key("mvalue"), w.append(4.5f);
    key("nObs"), w.append(0.0f);
    key("uncertainty"), w.append(0.0f);
    w.endMap();
    w.startMap(0); // a missing record is an empty object
    w.endMap();
    w.endArray();
    key("none"), w.startArray(0);
    w.endArray();
    w.endMap();
    w.endMap();
    return data;
}

} // namespace

TEST(KeyedArchive, BytesAreThoseOfTheEarlierFormat) {
    keyedArchiver coder;
    encodeEveryKind(coder);
    const QByteArray expected = everyKindAsWrittenBefore();
    EXPECT_EQ(coder.archivedData().toHex().toStdString(), expected.toHex().toStdString());
    // A tree put together by hand writes the same bytes.
    EXPECT_EQ(coder.archivedObject().archivedData().toHex().toStdString(),
              expected.toHex().toStdString());
}

TEST(KeyedArchive, EveryKindReadsBackFromTheBytes) {
    keyedArchiver coder;
    encodeEveryKind(coder);
    const auto opened = keyedUnarchiver::fromArchivedData(coder.archivedData());
    ASSERT_TRUE(opened.ok()) << qPrintable(opened.error());
    const keyedUnarchiver& r = opened.value();
    EXPECT_EQ(r.decodeInt(QStringLiteral("zero")), 0);
    EXPECT_EQ(r.decodeInt(QStringLiteral("byte")), 24);
    EXPECT_EQ(r.decodeInt(QStringLiteral("long")), 65536);
    EXPECT_EQ(r.decodeInt(QStringLiteral("lowest")), std::numeric_limits<int>::min());
    EXPECT_EQ(r.decodeFloat(QStringLiteral("float")), -0.1f);
    EXPECT_EQ(r.typeOfValue(QStringLiteral("float")), Type::Float);
    EXPECT_EQ(r.decodeDouble(QStringLiteral("double")), 1479034976.34);
    EXPECT_EQ(r.typeOfValue(QStringLiteral("double")), Type::Double);
    EXPECT_EQ(r.decodeText(QStringLiteral("utf8")),
              QString::fromUtf8("Amberl\xc3\xa9y \xf0\x9f\x98\x80"));
    EXPECT_FALSE(r.decodeText(QStringLiteral("empty")).isNull());
    EXPECT_TRUE(r.decodeText(QStringLiteral("empty")).isEmpty());
    EXPECT_TRUE(r.decodeText(QStringLiteral("absent")).isNull());
    EXPECT_EQ(r.decodeText(QStringLiteral("surrogate")), QStringLiteral("a?"));
    EXPECT_EQ(r.decodeDate(QStringLiteral("date")),
              QDateTime(QDate(1960, 1, 2), QTime(3, 4, 5, 6), QTimeZone::utc()));
    EXPECT_FALSE(r.decodeDate(QStringLiteral("no date")).isValid());
    const auto nested = r.decodeObject(QStringLiteral("nested"));
    ASSERT_TRUE(nested.has_value());
    EXPECT_EQ(nested->decodeInt(QStringLiteral("n")), 7);
    EXPECT_FALSE(r.decodeObject(QStringLiteral("absent")).has_value());

    // A list at the root is read item by item; asking for a key stored after it first, then
    // for the list twice, reads it again from the bytes.
    EXPECT_EQ(r.decodeObjectList<QVRMagnitude>(QStringLiteral("none")).size(), 0);
    for (int pass = 0; pass < 2; ++pass) {
        const auto list = r.decodeObjectList<QVRMagnitude>(QStringLiteral("list"));
        ASSERT_EQ(list.size(), 2);
        EXPECT_EQ(list[0]->magnitudeType(), "ml");
        EXPECT_EQ(list[0]->mvalue(), 4.5f);
        EXPECT_TRUE(list[1]->magnitudeType().isNull());
    }
    EXPECT_EQ(r.decodeInt(QStringLiteral("small")), 23); // back before the list
    EXPECT_FALSE(r.failed()) << qPrintable(r.errorString());
    EXPECT_TRUE(r.finishReading().isNull());
}

TEST(KeyedArchive, UnboundedContainersAndChunkedTextsRead) {
    // Other CBOR writers may leave lengths open and split texts; the archive allows both.
    QByteArray data;
    QCborStreamWriter w(&data);
    appendEnvelope(w);
    w.startMap();
    w.append(QLatin1StringView("list"));
    w.startArray();
    w.startMap();
    w.append(QLatin1StringView("magnitudeType"));
    w.append(nullptr);
    w.endMap();
    w.endArray();
    w.endMap();
    w.endMap();
    // The key split into two chunks, and an "mvalue" of 4.5 after it.
    const QByteArray whole =
        QByteArray::fromHex("6d") + "magnitudeType" + QByteArray::fromHex("f6");
    const QByteArray chunked = QByteArray::fromHex("7f67") + "magnitu" + QByteArray::fromHex("66") +
                               "deType" + QByteArray::fromHex("fff666") + "mvalue" +
                               QByteArray::fromHex("fa40900000");
    ASSERT_TRUE(data.contains(whole));
    data.replace(whole, chunked);
    const auto opened = keyedUnarchiver::fromArchivedData(data);
    ASSERT_TRUE(opened.ok()) << qPrintable(opened.error());
    const auto list = opened->decodeObjectList<QVRMagnitude>(QStringLiteral("list"));
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0]->mvalue(), 4.5f);
    EXPECT_TRUE(opened->finishReading().isNull());
    EXPECT_FALSE(opened->failed());
}

TEST(KeyedArchive, EnvelopeReadsInAnyOrder) {
    auto archive = [](qint64 version) {
        QByteArray data;
        QCborStreamWriter w(&data);
        w.append(QCborKnownTags::Signature);
        w.startMap(3);
        w.append(QLatin1StringView("root"));
        w.startMap(1);
        w.append(QLatin1StringView("a"));
        w.append(qint64(1));
        w.endMap();
        w.append(QLatin1StringView("version"));
        w.append(version);
        w.append(QLatin1StringView("archiver"));
        w.append(QLatin1StringView("QVRKeyedArchive"));
        w.endMap();
        return data;
    };
    const auto opened = keyedUnarchiver::fromArchivedData(archive(1));
    ASSERT_TRUE(opened.ok()) << qPrintable(opened.error());
    EXPECT_EQ(opened->decodeInt(QStringLiteral("a")), 1);
    EXPECT_TRUE(opened->finishReading().isNull());
    const auto newer = keyedUnarchiver::fromArchivedData(archive(2));
    ASSERT_FALSE(newer.ok());
    EXPECT_TRUE(newer.error().contains("newer version"));
}
