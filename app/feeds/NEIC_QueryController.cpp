#include "NEIC_QueryController.h"

#include "QVRDateFormatter.h"
#include "csvFields.h"
#include "lenientNumbers.h"
#include "quorvelLogging.h"
#include "serviceEndpoints.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTextDocument>

#include <simdjson.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

namespace {

QUrl addressOn(serviceEndpoints::service where, const char* path) {
    return QUrl(serviceEndpoints::baseURL(where) + QLatin1StringView(path));
}

using simdjson::dom::element;
using simdjson::dom::element_type;

// The busiest month feed is a few tens of MB; the parser's working memory is several times
// the document, so anything far beyond a feed is refused before it is reserved.
constexpr size_t largestFeed = size_t(256) << 20;

QString textOf(std::string_view utf8) {
    // Pointer and length, so that an empty JSON text stays an empty, not an absent, text.
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// A JSON text as a text; anything else (null, missing, a number) is an absent text.
QString textOf(const std::optional<element>& v) {
    std::string_view utf8;
    if (!v || v->get_string().get(utf8))
        return {};
    return textOf(utf8);
}

// Qt keeps a whole number written with a fraction or exponent ("1.0", "1.5e3", "-0.0") as an
// integer when it fits in qint64; the records and the flag's variant type follow that rule.
std::optional<qint64> wholeNumber(double number) {
    constexpr double qint64End = 9223372036854775808.0; // 2^63
    if (std::trunc(number) != number || number < -qint64End || number >= qint64End)
        return {};
    return qint64(number);
}

// Numbers as doubles, anything else as 0, as the feed's blank values have always been read.
double numberOf(const std::optional<element>& v) {
    double number = 0;
    if (!v || v->get_double().get(number))
        return 0;
    // -0.0 is read as the integer 0, and so as +0.
    return number == 0 ? 0 : number;
}

float floatOf(const std::optional<element>& v) {
    return float(numberOf(v));
}

// A property the feed gave a value: a JSON null and a key the feed left out both mean blank.
bool given(const std::optional<element>& v) {
    return v && !v->is_null();
}

// The value under `key`, or none when `object` is no object or lacks it. A repeated key gives
// its last value.
std::optional<element> member(const std::optional<element>& object, std::string_view key) {
    simdjson::dom::object fields;
    if (!object || object->get_object().get(fields))
        return {};
    std::optional<element> found;
    for (const simdjson::dom::key_value_pair field : fields) {
        if (field.key == key)
            found = field.value;
    }
    return found;
}

// Qt's own value for the rare places that need one: numbers beyond qint64 become doubles and
// repeated keys keep their last value, as Qt's parser does.
QJsonValue qtJsonOf(element v) {
    switch (v.type()) {
    case element_type::ARRAY: {
        QJsonArray list;
        const simdjson::dom::array items = v.get_array().value_unsafe();
        for (const element item : items)
            list.append(qtJsonOf(item));
        return list;
    }
    case element_type::OBJECT: {
        QJsonObject object;
        const simdjson::dom::object fields = v.get_object().value_unsafe();
        for (const simdjson::dom::key_value_pair field : fields)
            object.insert(textOf(field.key), qtJsonOf(field.value));
        return object;
    }
    case element_type::INT64:
        return QJsonValue(qint64(v.get_int64().value_unsafe()));
    case element_type::UINT64:
        return QJsonValue(double(v.get_uint64().value_unsafe()));
    case element_type::DOUBLE: {
        const double number = v.get_double().value_unsafe();
        if (const auto whole = wholeNumber(number))
            return QJsonValue(*whole);
        return QJsonValue(number);
    }
    case element_type::STRING:
        return QJsonValue(textOf(v.get_string().value_unsafe()));
    case element_type::BOOL:
        return QJsonValue(v.get_bool().value_unsafe());
    case element_type::NULL_VALUE:
        break;
    }
    return QJsonValue(QJsonValue::Null);
}

// The flag keeps whatever JSON value the feed gave, as a variant of Qt's usual types.
QVariant variantOf(element v) {
    switch (v.type()) {
    case element_type::BOOL:
        return QVariant(v.get_bool().value_unsafe());
    case element_type::INT64:
        return QVariant(qlonglong(v.get_int64().value_unsafe()));
    case element_type::DOUBLE: {
        const double number = v.get_double().value_unsafe();
        if (const auto whole = wholeNumber(number))
            return QVariant(qlonglong(*whole));
        return QVariant(number);
    }
    case element_type::STRING:
        return QVariant(textOf(v.get_string().value_unsafe()));
    default:
        return qtJsonOf(v).toVariant();
    }
}

// The compact JSON of an array or object as Qt writes it (sorted keys, Qt's number forms), so
// that the log line of an event without magnitude reads as it always has; a value of another
// kind is written as an empty one.
QString compactJSON(const std::optional<element>& v, element_type kind) {
    const QJsonValue value = v && v->type() == kind ? qtJsonOf(*v) : QJsonValue();
    const QJsonDocument document = kind == element_type::ARRAY ? QJsonDocument(value.toArray())
                                                               : QJsonDocument(value.toObject());
    return QString::fromUtf8(document.toJson(QJsonDocument::Compact));
}

// The first identifier of ",us7000abcd,ci123," style lists; a null text for a list of none.
QString firstIdentifier(const std::optional<element>& v) {
    std::string_view ids;
    if (!v || v->get_string().get(ids))
        return {};
    const size_t from = ids.find_first_not_of(',');
    if (from == std::string_view::npos)
        return {};
    const size_t comma = ids.find(',', from);
    return textOf(ids.substr(from, comma == std::string_view::npos ? comma : comma - from));
}

// The properties the reader takes from each feature, found in one walk over its keys.
namespace key {
enum : size_t {
    place,
    ids,
    mag,
    magType,
    net,
    time,
    nst,
    rms,
    gap,
    dmin,
    tsunami,
    sig,
    status,
    alert,
    detail,
    felt,
    updated,
    mmi,
    cdi,
    tz,
    count
};
} // namespace key
constexpr std::array<std::string_view, key::count> propertyKeys{
    "place",   "ids", "mag",    "magType", "net",    "time", "nst",     "rms", "gap", "dmin",
    "tsunami", "sig", "status", "alert",   "detail", "felt", "updated", "mmi", "cdi", "tz"};
using featureProperties = std::array<std::optional<element>, key::count>;

featureProperties propertiesOf(const std::optional<element>& properties) {
    featureProperties found;
    simdjson::dom::object fields;
    if (!properties || properties->get_object().get(fields))
        return found;
    for (const simdjson::dom::key_value_pair field : fields) {
        const auto known = std::find(propertyKeys.cbegin(), propertyKeys.cend(), field.key);
        if (known != propertyKeys.cend())
            found[size_t(known - propertyKeys.cbegin())] = field.value;
    }
    return found;
}

} // namespace

NEIC_QueryController::NEIC_QueryController(QObject* parent)
    : EQ_QueryController(parent) {
    setMinMagnitude(5.0f);
    setMaxMagnitude(19.0f);
    gsURLs_ = {addressOn(serviceEndpoints::service::usgsFeeds,
                         "/earthquakes/feed/v0.1/summary/1.0_week.csv")};
}

QUrl NEIC_QueryController::geoJSONFeedURL() {
    return addressOn(serviceEndpoints::service::usgsFeeds,
                     "/earthquakes/feed/v1.0/summary/2.5_month.geojson");
}

QString NEIC_QueryController::summaryHeading() const {
    return QStringLiteral("A Global Seismicity Summary");
}

const char* NEIC_QueryController::summaryOpening() const {
    return "In the last seven days the US Geological Survey identified and located %d seismic "
           "events with magnitudes greater than or equal to %.1f. ";
}

// --- GeoJSON feed

QUrl NEIC_QueryController::requestURL() const {
    return feed_ == feed::monthFeed ? geoJSONFeedURL() : gsURLs_.value(0);
}

QVRResult<EQ_QueryController::parsedOrigins>
NEIC_QueryController::parseOrigins(const QByteArray& answer) const {
    if (feed_ == feed::weeklyList)
        return readNEIC_TextList(answer);
    QVRResult<parsedOrigins> all = readUSGSGeoJSONFeed(answer);
    if (all)
        all.value().origins = withinMagnitudeLimits(all->origins);
    return all;
}

originList NEIC_QueryController::withinMagnitudeLimits(const originList& origins) const {
    const auto within = [this](const auto& o) {
        return minMagnitude() <= o->magnitude() && o->magnitude() <= maxMagnitude();
    };
    // The usual case keeps every origin: the same list is shared, not copied.
    if (std::all_of(origins.cbegin(), origins.cend(), within))
        return origins;
    originList kept;
    kept.reserve(origins.size());
    for (const auto& o : origins) {
        if (minMagnitude() <= o->magnitude() && o->magnitude() <= maxMagnitude())
            kept.append(o);
    }
    return kept;
}

originList NEIC_QueryController::loadUSGSGeoJSONFeed() {
    loadDeadline_ = QDeadlineTimer(downloadTimeoutMs());
    const webFetcher::result r = download(geoJSONFeedURL());
    originList origins;
    if (r.ok())
        origins = originsOfFeed(readUSGSGeoJSONFeed(*r), true);
    loadDeadline_.reset();
    return origins;
}

originList NEIC_QueryController::parseUSGSGeoJSONFeed(const QByteArray& json, bool loadDetails) {
    return originsOfFeed(readUSGSGeoJSONFeed(json), loadDetails);
}

originList NEIC_QueryController::originsOfFeed(const QVRResult<parsedOrigins>& all,
                                               bool loadDetails) {
    if (!all) {
        qCWarning(lcFeeds).noquote()
            << QStringLiteral("The USGS feed cannot be read: %1").arg(all.error());
        setLastError(all.error());
        return {};
    }
    // Details before the limits, so that every large event's page is known to the program.
    if (loadDetails)
        loadGeoJSONDetails(all->origins);
    return withinMagnitudeLimits(all->origins);
}

void NEIC_QueryController::loadSideDocuments(const originList& origins) {
    if (feed_ == feed::monthFeed)
        loadGeoJSONDetails(origins);
}

void NEIC_QueryController::loadGeoJSONDetails(const originList& origins) {
    const auto keyOf = [](const seismicOrigin& o) {
        return o.eventID().isEmpty() ? o.detailURL() : o.eventID();
    };
    QHash<QString, keptDetail> stillListed;
    originList toFetch;
    QList<QUrl> addresses;
    for (const auto& o : origins) {
        if (!(o->magnitude() > 6.5f) || o->detailURL().isEmpty())
            continue;
        const QString key = keyOf(*o);
        const auto kept = keptDetails_.constFind(key);
        if (kept != keptDetails_.constEnd() && kept->updated == o->lastUpdateEpochTime()) {
            if (kept->links)
                o->setGsLinks(kept->links);
            stillListed.insert(key, *kept);
            continue;
        }
        toFetch.append(o);
        addresses.append(QUrl(o->detailURL()));
    }

    webFetcher::options how;
    how.timeoutMs = downloadTimeoutMs();
    if (loadDeadline_)
        how.timeoutMs = int(std::max<qint64>(0, loadDeadline_->remainingTime()));
    const QList<webFetcher::result> answers =
        webFetcher::fetchAll(addresses, how, detailFetchesAtOnce);
    int failed = 0;
    QString firstError;
    for (qsizetype i = 0; i < toFetch.size(); ++i) {
        seismicOrigin& o = *toFetch.at(i);
        const webFetcher::result& answer = answers.at(i);
        if (!answer.ok()) {
            if (failed++ == 0)
                firstError =
                    QStringLiteral("%1 %2").arg(answer.error(), addresses.at(i).toString());
            continue;
        }
        // Only a real document is kept: anything else is asked for again at the next load.
        if (parseGeoJSONDetails(*answer, o))
            stillListed.insert(keyOf(o), keptDetail{o.lastUpdateEpochTime(), o.gsLinks()});
    }
    // Events that left the feed are forgotten, so the kept documents never outgrow it.
    keptDetails_ = std::move(stillListed);
    if (failed > 0)
        qCWarning(lcFeeds).noquote()
            << QStringLiteral("%1 of %2 detail documents could not be loaded and their events "
                              "are shown without links; the first: %3")
                   .arg(failed)
                   .arg(toFetch.size())
                   .arg(firstError);
}

QVRResult<EQ_QueryController::parsedOrigins>
NEIC_QueryController::readUSGSGeoJSONFeed(const QByteArray& json) {
    const auto notJSON = [](const QString& why) {
        return QVRResult<parsedOrigins>::failure(QStringLiteral("not valid JSON: %1").arg(why));
    };
    // The parser reads the bytes from a padded copy of its own, so its vector loads never
    // reach past the buffer. It refuses documents nested deeper than 1024 levels, as Qt's
    // did, and is stricter than Qt's about what JSON forbids: raw control characters and
    // unknown escapes in texts, invalid UTF-8, integers beyond 64 bits.
    simdjson::dom::parser parser(largestFeed);
    element root;
    if (const simdjson::error_code error =
            parser.parse(json.constData(), size_t(json.size())).get(root))
        return notJSON(QString::fromUtf8(simdjson::error_message(error)));
    if (!root.is_object() && !root.is_array())
        return notJSON(QStringLiteral("a single value where an object or array belongs"));

    parsedOrigins result;
    simdjson::dom::array features;
    if (const auto list = member(root, "features"); !list || list->get_array().get(features))
        return result;
    result.origins.reserve(qsizetype(features.size()));
    QString contributorNetwork, contributor;
    bool contributorHasNet = false;
    for (const element feature : features) {
        if (!feature.is_object()) {
            ++result.skippedRows;
            continue;
        }
        const std::optional<element> coordinates =
            member(member(feature, "geometry"), "coordinates");
        std::array<float, 3> position{}; // longitude, latitude, depth; 0 where not given
        if (simdjson::dom::array numbers; coordinates && !coordinates->get_array().get(numbers)) {
            size_t i = 0;
            for (auto n = numbers.begin(); n != numbers.end() && i < position.size(); ++n)
                position[i++] = floatOf(*n);
        }
        const std::optional<element> properties = member(feature, "properties");
        const featureProperties p = propertiesOf(properties);

        auto o = std::make_shared<seismicOrigin>();
        o->setLongitude(position[0]);
        o->setLatitude(position[1]);
        o->setDepth(position[2]);
        o->setFERegion();
        o->setCatalog(QStringLiteral("USGS"));

        // "place" and "ids" are taken even when null or missing: they become absent texts.
        o->setCsvRegionString(textOf(p[key::place]));
        o->setEventID(firstIdentifier(p[key::ids]));

        const bool hasMagnitude = given(p[key::mag]);
        const float magnitude = floatOf(p[key::mag]);
        const bool hasMagType = given(p[key::magType]);
        const QString magnitudeType = textOf(p[key::magType]);
        const bool hasNet = given(p[key::net]);
        const QString network = textOf(p[key::net]);
        if (given(p[key::time])) {
            const double ms = numberOf(p[key::time]);
            o->setOriginDateTime(QDateTime::fromMSecsSinceEpoch(qint64(ms), Qt::UTC));
            o->setEpochTime(ms * 0.001);
        }
        if (given(p[key::nst]))
            o->setNum_stations_mag(truncatedToInt(numberOf(p[key::nst])));
        if (given(p[key::rms]))
            o->setRms_error(floatOf(p[key::rms]));
        if (given(p[key::gap]))
            o->setAzimuthal_gap(floatOf(p[key::gap]));
        if (given(p[key::dmin]))
            o->setDis_first_station(floatOf(p[key::dmin]));
        if (given(p[key::tsunami]))
            o->setTsunamiFlag(variantOf(*p[key::tsunami]));
        if (given(p[key::sig]))
            o->setEventSignificance(truncatedToInt(numberOf(p[key::sig])));
        if (given(p[key::status]))
            o->setOriginInformationStatus(textOf(p[key::status]));
        if (given(p[key::alert]))
            o->setPagerAlertLevel(textOf(p[key::alert]));
        if (given(p[key::detail]))
            o->setDetailURL(textOf(p[key::detail]));
        if (given(p[key::felt]))
            o->setNFeltReports(truncatedToInt(numberOf(p[key::felt])));
        if (given(p[key::updated]))
            o->setLastUpdateEpochTime(truncatedToInt(numberOf(p[key::updated]) * 0.001));
        if (given(p[key::mmi]))
            o->setMaxInstrumentalIntensity(floatOf(p[key::mmi]));
        if (given(p[key::cdi]))
            o->setMaxReportedIntensity(floatOf(p[key::cdi]));
        if (given(p[key::tz]))
            o->setTzOffsetInMinutes(truncatedToInt(numberOf(p[key::tz])));

        if (hasNet)
            o->setNetwork_code(network);
        // A missing network code still names the contributor as the USGS. Nearly every event
        // of a feed comes from the same few networks, so their records share one text.
        if (contributor.isNull() || hasNet != contributorHasNet || network != contributorNetwork) {
            contributorHasNet = hasNet;
            contributorNetwork = network;
            contributor = QStringLiteral("USGS-") + (hasNet ? network : QStringLiteral("unknown"));
        }
        o->setLocationContributor(contributor);

        if (!hasMagnitude) {
            qCInfo(lcFeeds).noquote()
                << QStringLiteral("%1 %2").arg(compactJSON(coordinates, element_type::ARRAY),
                                               compactJSON(properties, element_type::OBJECT));
        } else {
            o->setMagnitude(magnitude);
            auto m = std::make_shared<QVRMagnitude>();
            m->setContributor(QStringLiteral("USGS"));
            m->setMvalue(magnitude);
            if (hasMagType) {
                m->setMagnitudeType(magnitudeType);
                o->setMagnitude_type(magnitudeType);
            }
            o->addObjectToMagnitudes(m);
        }

        result.origins.append(o);
    }
    return result;
}

void NEIC_QueryController::loadGeoJSONDetailsForOrigin(seismicOrigin& origin) {
    if (origin.detailURL().isEmpty())
        return;
    const webFetcher::result r = download(QUrl(origin.detailURL()), downloadKind::sideDocument);
    if (r.ok())
        parseGeoJSONDetails(*r, origin);
}

bool NEIC_QueryController::parseGeoJSONDetails(const QByteArray& json, seismicOrigin& origin) {
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject())
        return false;
    const QJsonObject products = document.object()
                                     .value(QLatin1StringView("properties"))
                                     .toObject()
                                     .value(QLatin1StringView("products"))
                                     .toObject();
    const QJsonValue pager = products.value(QLatin1StringView("losspager"));
    if (!pager.isArray() || pager.toArray().isEmpty())
        return true;
    const QJsonObject contents =
        pager.toArray().at(0).toObject().value(QLatin1StringView("contents")).toObject();
    QMap<QString, QString> links = origin.gsLinks().value_or(QMap<QString, QString>());
    const QJsonValue url = contents.value(QLatin1StringView("onepager.pdf"))
                               .toObject()
                               .value(QLatin1StringView("url"));
    if (url.isString())
        links.insert(QStringLiteral("onePagerLink"), url.toString());
    origin.setGsLinks(links);
    return true;
}

// --- CSV lists

bool NEIC_QueryController::loadEvents() {
    const originList origins = loadNEIC_TextList();
    if (origins.isEmpty())
        return false;
    setSeismicOrigins(origins);
    return true;
}

originList NEIC_QueryController::loadNEIC_TextList() {
    const feed chosen = feed_;
    feed_ = feed::weeklyList;
    originList result;
    for (const QUrl& url : gsURLs_) {
        if (const QVRResult<parsedOrigins> list = fetchOriginsFrom(url))
            result += list->origins;
    }
    feed_ = chosen;
    return result;
}

originList NEIC_QueryController::parseNEIC_TextList(const QByteArray& csv) const {
    return readNEIC_TextList(csv).origins;
}

EQ_QueryController::parsedOrigins
NEIC_QueryController::readNEIC_TextList(const QByteArray& csv) const {
    static const QVRDateFormatter timeFormatter(QStringLiteral("yyyy'-'MM'-'dd'T'HH':'mm':'ss.SSS"),
                                                QTimeZone::utc());
    parsedOrigins result;
    const QList<QByteArray> lines = csv.split('\n');
    for (qsizetype n = 1; n < lines.size(); ++n) {
        const QList<QString> c = csvFields(QString::fromUtf8(lines.at(n)));
        if (c.size() < 13) {
            // The empty line after the last one is no skipped row.
            if (!lines.at(n).trimmed().isEmpty())
                ++result.skippedRows;
            continue;
        }
        auto o = std::make_shared<seismicOrigin>();
        o->setCatalog(QStringLiteral("PDE"));
        o->setLocationContributor(QStringLiteral("USGS"));
        o->setEventID(c.at(11));
        o->setVersion(c.at(12));
        o->setLatitude(leadingFloat(c.at(1)));
        o->setLongitude(leadingFloat(c.at(2)));
        o->setDepth(leadingFloat(c.at(3)));
        o->setFERegion();
        o->setCsvRegionString(o->shortFlinnEngdahlString());
        o->setNum_stations_mag(truncatedToInt(leadingDouble(c.at(6))));
        o->setRms_error(leadingFloat(c.at(9)));
        o->setAzimuthal_gap(leadingFloat(c.at(7)));
        o->setDis_first_station(leadingFloat(c.at(8)));

        auto m = std::make_shared<QVRMagnitude>();
        m->setContributor(QStringLiteral("USGS"));
        m->setMvalue(leadingFloat(c.at(4)));
        m->setMagnitudeType(c.at(5));
        o->addObjectToMagnitudes(m);

        // Older lists end their times in "+00:00", newer ones in "Z": both mean UTC.
        QString time = c.at(0).trimmed().remove(QStringLiteral("+00:00"));
        if (time.endsWith(u'Z'))
            time.chop(1);
        o->setOriginDateTime(timeFormatter.dateFromString(time));
        o->setFERegion();
        o->setMagnitudeToMaximumValue();
        if (minMagnitude() <= m->mvalue() && m->mvalue() <= maxMagnitude())
            result.origins.append(o);
    }
    return result;
}

originList NEIC_QueryController::loadNEIC_CSVvalues() {
    originList result;
    for (const QUrl& url : gsURLs_) {
        const webFetcher::result r = download(url);
        if (!r.ok())
            return result; // the download has been logged
        result += parseNEIC_CSVvalues(*r);
    }
    return result;
}

originList NEIC_QueryController::parseNEIC_CSVvalues(const QByteArray& csv) const {
    // Source,Eqid,Version,"Weekday, Month day, year hh:mm:ss
    // UTC",Lat,Lon,Magnitude,Depth,NST,Region
    static const QVRDateFormatter dateFormatter(QStringLiteral("EEEE, MMMM d, yyyy HH:mm:ss zzz"),
                                                QTimeZone::utc());
    originList result;
    const QString text = QString::fromUtf8(csv);
    const QList<QStringView> lines =
        QStringView(text).split(QRegularExpression(QStringLiteral("[\r\n]")), Qt::SkipEmptyParts);
    auto problem = [&result]() {
        qCWarning(lcFeeds) << "Problem downloading USGS event list.";
        return result;
    };
    for (qsizetype n = 1; n < lines.size(); ++n) {
        const QStringView line = lines.at(n).trimmed();
        if (line.isEmpty())
            continue;
        // Three plain fields, the quoted date, then the numbers.
        const qsizetype open = line.indexOf(u'"');
        const qsizetype close = open < 0 ? -1 : line.indexOf(u'"', open + 1);
        if (close < 0)
            return problem();
        const QList<QStringView> head = line.left(open).split(u',');
        const QList<QStringView> numbers = line.mid(close + 1).split(u',');
        if (head.size() < 3 || numbers.size() < 5)
            return problem();
        float values[4];
        for (int k = 0; k < 4; ++k) {
            bool ok = false;
            values[k] = numbers.at(k + 1).trimmed().toFloat(&ok);
            if (!ok)
                return problem();
        }
        auto o = std::make_shared<seismicOrigin>();
        o->setCatalog(QStringLiteral("NEIC_CSV"));
        o->setLocationContributor(head.at(0).trimmed().toString());
        o->setEventID(head.at(1).trimmed().toString());
        o->setOriginDateTime(dateFormatter.dateFromString(line.mid(open + 1, close - open - 1)));
        o->setLatitude(values[0]);
        o->setLongitude(values[1]);
        o->setMagnitude(values[2]);
        o->setDepth(values[3]);
        o->setFERegion();
        if (minMagnitude() <= o->magnitude() && o->magnitude() <= maxMagnitude())
            result.append(o);
    }
    return result;
}

// --- bulletins

QString NEIC_QueryController::downloadBulletin(const QUrl& url) {
    const webFetcher::result r = download(url);
    return r.ok() ? QString::fromUtf8(*r) : QString();
}

QString NEIC_QueryController::WCATWCMessage() {
    return downloadBulletin(addressOn(serviceEndpoints::service::noaaWCATWC, "/message.txt"));
}

QString NEIC_QueryController::PTWCMessage() {
    return downloadBulletin(addressOn(serviceEndpoints::service::noaaPTWC, "/ptwc/wmsg"));
}

QString NEIC_QueryController::USGSMTensorMessage() {
    return downloadBulletin(
        addressOn(serviceEndpoints::service::usgsNEIC, "/neis/data_services/mtall.last"));
}

QString NEIC_QueryController::BigQuakeMessage() {
    const webFetcher::result r = download(
        addressOn(serviceEndpoints::service::usgsNEIC, "/neis/data_services/bigquake.html"));
    return r.ok() ? plainTextOfHTML(*r) : QString();
}

QString NEIC_QueryController::plainTextOfHTML(const QByteArray& html) {
    QTextDocument document;
    document.setHtml(QString::fromUtf8(html));
    return document.toPlainText();
}
