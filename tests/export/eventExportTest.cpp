#include "eventExport.h"
#include "NEIC_QueryController.h"
#include "commandLineRun.h"
#include "csvFields.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include <gtest/gtest.h>

namespace {

const QString feedPath =
    QStringLiteral(QUORVEL_TEST_DATA "/feeds/sgoggins_2.5_month_20251029.geojson");
const QByteArray schemaPath = QUORVEL_TEST_DATA "/quakeml/QuakeML-1.2.xsd";

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << qPrintable(path);
    return f.readAll();
}

// The whole real feed, newest first as every export writes it.
originList feedOrigins() {
    const auto read = NEIC_QueryController::readUSGSGeoJSONFeed(fileBytes(feedPath));
    EXPECT_TRUE(read.ok());
    originList origins = read->origins;
    sortNewestFirst(origins);
    return origins;
}

// One origin whose texts hold everything the formats must escape or quote.
const QString awkwardPlace = QStringLiteral("12 km \"SSW\" of São Paulo, Brasil & <Ñandú>");
const QString awkwardRegion = QStringLiteral("ÎLES <DU> VENT, \"NORD\" & SUD");

std::shared_ptr<seismicOrigin> awkwardOrigin() {
    auto o = std::make_shared<seismicOrigin>();
    o->setEventID(QStringLiteral("xx2025ü1"));
    o->setNetwork_code(QStringLiteral("xx"));
    o->setOriginDateTime(QDateTime(QDate(2025, 9, 2), QTime(3, 4, 5, 678), QTimeZone::utc()));
    o->setLatitude(-23.5f);
    o->setLongitude(-46.625f);
    o->setDepth(7.25f);
    o->setHor_error(4.5f);
    o->setVer_error(1.75f);
    o->setMagnitude(6.4f);
    o->setMagnitude_type(QStringLiteral("Mww"));
    o->setCsvRegionString(awkwardPlace);
    o->setShortFlinnEngdahlString(awkwardRegion);
    auto m = std::make_shared<QVRMagnitude>();
    m->setMvalue(6.4f);
    m->setMagnitudeType(QStringLiteral("Mww"));
    m->setContributor(QStringLiteral("US"));
    auto other = std::make_shared<QVRMagnitude>();
    other->setMvalue(6.1f);
    other->setMagnitudeType(QStringLiteral("mb"));
    o->setMagnitudes({other, m});
    return o;
}

eventExport::ageColouring testColouring(const QDateTime& now) {
    return {{QColor(255, 0, 0), QColor(255, 128, 0), QColor(255, 255, 0)}, 3600, 12, 24, now};
}

// The CSV's data lines split into fields by the reader's own splitter.
QList<QList<QString>> csvRows(const QByteArray& csv) {
    QList<QList<QString>> rows;
    const QList<QByteArray> lines = csv.split('\n');
    for (qsizetype n = 1; n < lines.size(); ++n) {
        if (!lines.at(n).isEmpty())
            rows.append(csvFields(QString::fromUtf8(lines.at(n))));
    }
    return rows;
}

// The errors of validating `document` against the QuakeML schema; "not parsed: …" when the
// bytes are no XML. Any attempt to load something from the network fails the test.
int networkLoads = 0;
xmlParserInputPtr localOnly(const char* url, const char* id, xmlParserCtxtPtr context) {
    const QByteArray address(url ? url : "");
    if (address.contains("://") && !address.startsWith("file://")) {
        ++networkLoads;
        return nullptr;
    }
    return xmlNoNetExternalEntityLoader(url, id, context);
}

QStringList schemaErrors(const QByteArray& document) {
    static QStringList collected;
    collected.clear();
    networkLoads = 0;
    xmlSetExternalEntityLoader(localOnly);
    xmlSchemaParserCtxtPtr parserContext = xmlSchemaNewParserCtxt(schemaPath.constData());
    xmlSchemaPtr schema = xmlSchemaParse(parserContext);
    xmlSchemaFreeParserCtxt(parserContext);
    if (!schema)
        return {QStringLiteral("schema not parsed")};
    xmlDocPtr doc = xmlReadMemory(document.constData(), int(document.size()), "export.xml", "UTF-8",
                                  XML_PARSE_NONET);
    if (!doc) {
        xmlSchemaFree(schema);
        return {QStringLiteral("not parsed")};
    }
    xmlSchemaValidCtxtPtr valid = xmlSchemaNewValidCtxt(schema);
    xmlSchemaSetValidStructuredErrors(
        valid,
        // Whether the error is const differs between libxml2 versions.
        [](void*, auto* error) {
            collected << QStringLiteral("line %1: %2")
                             .arg(error->line)
                             .arg(QString::fromUtf8(error->message).trimmed());
        },
        nullptr);
    const int result = xmlSchemaValidateDoc(valid, doc);
    xmlSchemaFreeValidCtxt(valid);
    xmlFreeDoc(doc);
    xmlSchemaFree(schema);
    if (result != 0 && collected.isEmpty())
        collected << QStringLiteral("invalid (%1)").arg(result);
    return collected;
}

// The trimmed texts of every element named `name`, in document order.
QStringList elementTexts(const QByteArray& xml, const QString& name) {
    QStringList texts;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == name)
            texts << reader.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
    }
    EXPECT_FALSE(reader.hasError()) << qPrintable(reader.errorString());
    return texts;
}

// What every export that is read back keeps exactly: where, how large, and which event.
void expectSamePlaceMagnitudeAndId(const seismicOrigin& back, const seismicOrigin& written) {
    EXPECT_EQ(back.latitude(), written.latitude());
    EXPECT_EQ(back.longitude(), written.longitude());
    EXPECT_EQ(back.depth(), written.depth());
    EXPECT_EQ(back.magnitude(), written.magnitude());
    EXPECT_EQ(back.magnitude_type(), written.magnitude_type());
    EXPECT_EQ(back.eventID(), written.eventID());
}

} // namespace

TEST(EventExport, CsvReadsBackThroughTheUsgsListReader) {
    const originList origins = feedOrigins();
    ASSERT_EQ(origins.size(), 1349);
    const QByteArray csv = eventExport::csv(origins);
    EXPECT_TRUE(csv.startsWith(
        "time,latitude,longitude,depth,mag,magType,nst,gap,dmin,rms,net,id,updated,place,type,"
        "horizontalError,depthError,magError,magNst,status,locationSource,magSource\n"));

    NEIC_QueryController reader;
    reader.setMinMagnitude(-10);
    reader.setMaxMagnitude(20);
    const EQ_QueryController::parsedOrigins back = reader.readNEIC_TextList(csv);
    EXPECT_EQ(back.skippedRows, 0);
    ASSERT_EQ(back.origins.size(), origins.size());
    const QList<QList<QString>> rows = csvRows(csv);
    ASSERT_EQ(rows.size(), origins.size());
    for (qsizetype n = 0; n < origins.size(); ++n) {
        const seismicOrigin& a = *origins.at(n);
        const seismicOrigin& b = *back.origins.at(n);
        SCOPED_TRACE(a.eventID().toStdString());
        EXPECT_EQ(b.originDateTime().toMSecsSinceEpoch(), a.originDateTime().toMSecsSinceEpoch());
        expectSamePlaceMagnitudeAndId(b, a);
        EXPECT_EQ(b.num_stations_mag(), a.num_stations_mag());
        EXPECT_EQ(b.azimuthal_gap(), a.azimuthal_gap());
        // The list reader names places by region; the place column is read by its splitter.
        ASSERT_EQ(rows.at(n).size(), 22);
        EXPECT_EQ(rows.at(n).at(13), a.csvRegionString());
        EXPECT_EQ(rows.at(n).at(10), a.network_code());
    }
    // Places are always quoted, other texts only when they must be.
    EXPECT_TRUE(csv.split('\n').at(1).contains(
        QByteArray(",\"" + origins.first()->csvRegionString().toUtf8() + "\",")));
}

TEST(EventExport, GeoJSONReadsBackThroughTheFeedReader) {
    const originList origins = feedOrigins();
    const QDateTime generated(QDate(2025, 10, 30), QTime(12, 0), QTimeZone::utc());
    const QByteArray json = eventExport::geoJSON(origins, generated);

    const QJsonObject root = QJsonDocument::fromJson(json).object();
    EXPECT_EQ(root.value("type").toString(), "FeatureCollection");
    EXPECT_EQ(root.value("metadata").toObject().value("count").toInt(), 1349);
    EXPECT_EQ(root.value("metadata").toObject().value("generated").toInteger(),
              generated.toMSecsSinceEpoch());
    const QJsonObject first = root.value("features").toArray().first().toObject();
    EXPECT_EQ(first.value("type").toString(), "Feature");
    EXPECT_EQ(first.value("geometry").toObject().value("type").toString(), "Point");
    // Times are whole milliseconds, as in the feed.
    EXPECT_EQ(first.value("properties").toObject().value("time").toInteger(),
              origins.first()->originDateTime().toMSecsSinceEpoch());

    const auto back = NEIC_QueryController::readUSGSGeoJSONFeed(json);
    ASSERT_TRUE(back.ok());
    ASSERT_EQ(back->origins.size(), origins.size());
    for (qsizetype n = 0; n < origins.size(); ++n) {
        const seismicOrigin& a = *origins.at(n);
        const seismicOrigin& b = *back->origins.at(n);
        SCOPED_TRACE(a.eventID().toStdString());
        EXPECT_EQ(b.originDateTime(), a.originDateTime());
        expectSamePlaceMagnitudeAndId(b, a);
        EXPECT_EQ(b.csvRegionString(), a.csvRegionString());
        EXPECT_EQ(b.network_code(), a.network_code());
        EXPECT_EQ(b.lastUpdateEpochTime(), a.lastUpdateEpochTime());
        EXPECT_EQ(b.rms_error(), a.rms_error());
        EXPECT_EQ(b.azimuthal_gap(), a.azimuthal_gap());
        EXPECT_EQ(b.dis_first_station(), a.dis_first_station());
        EXPECT_EQ(b.maxReportedIntensity(), a.maxReportedIntensity());
        EXPECT_EQ(b.maxInstrumentalIntensity(), a.maxInstrumentalIntensity());
        EXPECT_EQ(b.originInformationStatus(), a.originInformationStatus());
    }
}

TEST(EventExport, QuakeMLIsValidAgainstTheSchema) {
    originList origins = feedOrigins();
    origins.append(awkwardOrigin());
    // (The awkward origin is older than the feed, so the newest event stays first.)
    // Two origins of one event, and one without an id, still get identifiers of their own.
    origins.append(std::make_shared<seismicOrigin>(*origins.first()));
    origins.append(std::make_shared<seismicOrigin>());
    const QByteArray quakeML = eventExport::quakeML(origins);

    EXPECT_EQ(schemaErrors(quakeML), QStringList());
    EXPECT_EQ(networkLoads, 0);
    // The check is not vacuous: a description type the schema does not know is refused.
    QByteArray broken = quakeML;
    broken.replace("<type>Flinn-Engdahl region</type>", "<type>Flinn Engdahl</type>");
    EXPECT_FALSE(schemaErrors(broken).isEmpty());

    EXPECT_EQ(elementTexts(quakeML, QStringLiteral("event")).size(), origins.size());
    QStringList eventIDs;
    QXmlStreamReader reader(quakeML);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement &&
            reader.name() == QLatin1StringView("event"))
            eventIDs << reader.attributes().value("publicID").toString();
    }
    EXPECT_EQ(QSet<QString>(eventIDs.begin(), eventIDs.end()).size(), eventIDs.size());

    // The newest event: its region, its depth in metres and its magnitude.
    const std::shared_ptr<seismicOrigin> newestOrigin = feedOrigins().first();
    const seismicOrigin& newest = *newestOrigin;
    EXPECT_EQ(eventIDs.first(), "smi:org.quorvel/event/" + newest.eventID());
    const QByteArray firstEvent = quakeML.mid(
        quakeML.indexOf("<event "), quakeML.indexOf("</event>") - quakeML.indexOf("<event "));
    EXPECT_TRUE(
        firstEvent.contains(QByteArray("<text>" + newest.shortFlinnEngdahlString().toUtf8() +
                                       "</text>\n    <type>Flinn-Engdahl region</type>")));
    EXPECT_TRUE(firstEvent.contains(
        QByteArray("<depth>\n     <value>" +
                   QByteArray::number(qRound64(double(newest.depth()) * 1000)) + "</value>")));
    EXPECT_TRUE(firstEvent.contains(QByteArray("<preferredMagnitudeID>smi:org.quorvel/event/" +
                                               newest.eventID().toUtf8() +
                                               "/magnitude/1</preferredMagnitudeID>")));
}

TEST(EventExport, KmlHasAPlacemarkAndAStyleByMagnitudeAndAgePerEvent) {
    const originList origins = feedOrigins();
    // Ages as the map counts them from the newest event: 12 and 24 hours are the limits.
    const QDateTime now = origins.first()->originDateTime().addSecs(6 * 3600);
    const QByteArray kml = eventExport::kml(origins, testColouring(now));
    EXPECT_TRUE(kml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_TRUE(kml.contains("<kml xmlns=\"http://www.opengis.net/kml/2.2\">"));

    QXmlStreamReader reader(kml);
    int placemarks = 0;
    QStringList whens, styleUrls;
    QMap<QString, QString> styleColors;
    QString styleID;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (reader.name() == QLatin1StringView("Placemark"))
            ++placemarks;
        else if (reader.name() == QLatin1StringView("when"))
            whens << reader.readElementText();
        else if (reader.name() == QLatin1StringView("styleUrl"))
            styleUrls << reader.readElementText();
        else if (reader.name() == QLatin1StringView("Style"))
            styleID = reader.attributes().value("id").toString();
        else if (reader.name() == QLatin1StringView("color"))
            styleColors.insert(styleID, reader.readElementText());
    }
    ASSERT_FALSE(reader.hasError()) << qPrintable(reader.errorString());
    EXPECT_EQ(placemarks, 1349);
    ASSERT_EQ(whens.size(), 1349);
    EXPECT_EQ(whens.first(),
              origins.first()->originDateTime().toString("yyyy-MM-dd'T'HH:mm:ss.zzz'Z'"));
    for (const QString& url : styleUrls)
        EXPECT_TRUE(styleColors.contains(url.mid(1))) << qPrintable(url);
    // The newest is recent (red); the oldest, weeks before, wears the oldest colour (yellow).
    EXPECT_EQ(styleColors.value(styleUrls.first().mid(1)), "ff0000ff");
    EXPECT_EQ(styleColors.value(styleUrls.last().mid(1)), "ff00ffff");
    const int magnitudeClass = int(std::floor(origins.first()->magnitude()));
    EXPECT_EQ(styleUrls.first(), QStringLiteral("#m%1-age0").arg(magnitudeClass));
}

TEST(EventExport, AwkwardTextsSurviveEveryFormat) {
    const originList origins = {awkwardOrigin()};

    const QByteArray csv = eventExport::csv(origins);
    const QList<QString> row = csvRows(csv).value(0);
    ASSERT_EQ(row.size(), 22);
    EXPECT_EQ(row.at(13), awkwardPlace);
    EXPECT_EQ(row.at(11), "xx2025ü1");
    EXPECT_EQ(row.at(21), "US");   // the preferred magnitude's contributor, not the first one's
    EXPECT_EQ(row.at(15), "4.5");  // horizontalError, km
    EXPECT_EQ(row.at(16), "1.75"); // depthError, km
    NEIC_QueryController reader;
    EXPECT_EQ(reader.readNEIC_TextList(csv).origins.value(0)->eventID(), "xx2025ü1");

    const auto fromJSON = NEIC_QueryController::readUSGSGeoJSONFeed(eventExport::geoJSON(origins));
    ASSERT_EQ(fromJSON->origins.size(), 1);
    EXPECT_EQ(fromJSON->origins.first()->csvRegionString(), awkwardPlace);

    const QByteArray quakeML = eventExport::quakeML(origins);
    EXPECT_EQ(schemaErrors(quakeML), QStringList());
    EXPECT_EQ(elementTexts(quakeML, QStringLiteral("text")),
              (QStringList{awkwardRegion, awkwardPlace}));
    // Both magnitudes, the preferred one named as such; the id's "ü" is no URI character.
    EXPECT_EQ(elementTexts(quakeML, QStringLiteral("mag")), (QStringList{"6.1", "6.4"}));
    // Depth and its uncertainty, and the horizontal uncertainty, in metres.
    EXPECT_EQ(elementTexts(quakeML, QStringLiteral("depth")), QStringList{"7250\n     1750"});
    EXPECT_EQ(elementTexts(quakeML, QStringLiteral("horizontalUncertainty")), QStringList{"4500"});
    EXPECT_EQ(elementTexts(quakeML, QStringLiteral("preferredMagnitudeID")),
              QStringList{"smi:org.quorvel/event/xx2025_1/magnitude/2"});

    const QByteArray kml =
        eventExport::kml(origins, testColouring(QDateTime::currentDateTimeUtc()));
    EXPECT_EQ(elementTexts(kml, QStringLiteral("name")),
              (QStringList{"Quorvel events", QStringLiteral("M 6.4 – ") + awkwardRegion}));
    EXPECT_TRUE(elementTexts(kml, QStringLiteral("description")).value(0).contains(awkwardPlace));
}

TEST(EventExport, CommandLineWritesTheLoadedCatalogue) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("events.geojson"));
    const QStringList load = {QStringLiteral("--source"), QStringLiteral("usgs"),
                              QStringLiteral("--input"), feedPath};
    const commandLineRun r =
        runQuorvel(load + QStringList{QStringLiteral("--min-mag"), QStringLiteral("6"),
                                      QStringLiteral("--export"), QStringLiteral("geojson"),
                                      QStringLiteral("--output"), out});
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    const auto back = NEIC_QueryController::readUSGSGeoJSONFeed(fileBytes(out));
    ASSERT_TRUE(back.ok());
    qsizetype large = 0;
    for (const auto& o : feedOrigins())
        large += o->magnitude() >= 6 ? 1 : 0;
    EXPECT_GT(large, 0);
    EXPECT_EQ(back->origins.size(), large);
    for (qsizetype n = 1; n < back->origins.size(); ++n)
        EXPECT_GE(back->origins.at(n - 1)->originDateTime(), back->origins.at(n)->originDateTime());

    EXPECT_EQ(runQuorvel(load + QStringList{QStringLiteral("--export"), QStringLiteral("shp"),
                                            QStringLiteral("--output"), out})
                  .status,
              2);
    EXPECT_EQ(
        runQuorvel(load + QStringList{QStringLiteral("--export"), QStringLiteral("kml")}).status,
        2);
    const commandLineRun unwritable =
        runQuorvel(load + QStringList{QStringLiteral("--export"), QStringLiteral("csv"),
                                      QStringLiteral("--output"),
                                      dir.filePath(QStringLiteral("no/such/folder/events.csv"))});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_TRUE(unwritable.err.contains(QLatin1StringView("cannot write")))
        << qPrintable(unwritable.err);

    EXPECT_EQ(eventExport::formatOfPath(QStringLiteral("a/B.KML")), eventExport::format::kml);
    EXPECT_EQ(eventExport::formatOfPath(QStringLiteral("x.quakeml")), eventExport::format::quakeML);
    EXPECT_FALSE(eventExport::formatOfPath(QStringLiteral("x.txt")));
}
