#include "NEIC_QueryController.h"

#include "QVRDateFormatter.h"
#include "csvFields.h"
#include "lenientNumbers.h"
#include "quorvelLogging.h"
#include "serviceEndpoints.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTextDocument>

#include <algorithm>
#include <thread>

namespace {

QUrl addressOn(serviceEndpoints::service where, const char* path) {
    return QUrl(serviceEndpoints::baseURL(where) + QLatin1StringView(path));
}

// The first identifier of ",us7000abcd,ci123," style lists; a null text for a list of none.
QString firstIdentifier(const QString& ids) {
    const QStringView list(ids);
    qsizetype from = 0;
    while (from < list.size() && list.at(from) == u',')
        ++from;
    if (from == list.size())
        return {};
    const qsizetype comma = list.indexOf(u',', from);
    if (from == 0 && comma < 0)
        return ids;
    return (comma < 0 ? list.sliced(from) : list.sliced(from, comma - from)).toString();
}

float jsonFloat(const QJsonValue& v) {
    return float(v.toDouble());
}

// A property the feed gave a value: a JSON null and a key the feed left out both mean blank.
bool given(const QJsonValue& v) {
    return !v.isNull() && !v.isUndefined();
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
    if (r.ok()) {
        // A month of events takes longer to read than a frame lasts, so it is read on a worker
        // while the window goes on painting (user input held back, as during the download).
        std::optional<QVRResult<parsedOrigins>> all;
        QEventLoop loop;
        std::thread reader([&] {
            all = readUSGSGeoJSONFeed(*r);
            QMetaObject::invokeMethod(
                &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
        });
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        reader.join();
        origins = originsOfFeed(*all, true);
    }
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
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        return QVRResult<parsedOrigins>::failure(QStringLiteral("not valid JSON: %1 at byte %2")
                                                     .arg(error.errorString())
                                                     .arg(error.offset));
    parsedOrigins result;
    const QJsonArray features = document.object().value(QLatin1StringView("features")).toArray();
    result.origins.reserve(features.size());
    QString contributorNetwork, contributor;
    bool contributorHasNet = false;
    for (const QJsonValue& featureValue : features) {
        if (!featureValue.isObject()) {
            ++result.skippedRows;
            continue;
        }
        const QJsonObject feature = featureValue.toObject();
        const QJsonArray coordinates = feature.value(QLatin1StringView("geometry"))
                                           .toObject()
                                           .value(QLatin1StringView("coordinates"))
                                           .toArray();
        const QJsonObject p = feature.value(QLatin1StringView("properties")).toObject();

        auto o = std::make_shared<seismicOrigin>();
        o->setLongitude(jsonFloat(coordinates.at(0)));
        o->setLatitude(jsonFloat(coordinates.at(1)));
        o->setDepth(jsonFloat(coordinates.at(2)));
        o->setFERegion();
        o->setCatalog(QStringLiteral("USGS"));

        // Each property is found by a binary search of the object's sorted keys, which
        // allocates nothing; walking the object instead made a text of every key. "place" and
        // "ids" are taken even when null or missing: they become absent texts.
        auto property = [&p](const char* key) { return p.value(QLatin1StringView(key)); };
        o->setCsvRegionString(property("place").toString());
        o->setEventID(firstIdentifier(property("ids").toString()));

        QJsonValue v = property("mag");
        const bool hasMagnitude = given(v);
        const float magnitude = hasMagnitude ? jsonFloat(v) : 0.0f;
        v = property("magType");
        const bool hasMagType = given(v);
        const QString magType = hasMagType ? v.toString() : QString();
        v = property("net");
        const bool hasNet = given(v);
        const QString net = hasNet ? v.toString() : QString();
        if (v = property("time"); given(v)) {
            const double ms = v.toDouble();
            o->setOriginDateTime(QDateTime::fromMSecsSinceEpoch(qint64(ms), Qt::UTC));
            o->setEpochTime(ms * 0.001);
        }
        if (v = property("nst"); given(v))
            o->setNum_stations_mag(truncatedToInt(v.toDouble()));
        if (v = property("rms"); given(v))
            o->setRms_error(jsonFloat(v));
        if (v = property("gap"); given(v))
            o->setAzimuthal_gap(jsonFloat(v));
        if (v = property("dmin"); given(v))
            o->setDis_first_station(jsonFloat(v));
        if (v = property("tsunami"); given(v))
            o->setTsunamiFlag(v.toVariant());
        if (v = property("sig"); given(v))
            o->setEventSignificance(truncatedToInt(v.toDouble()));
        if (v = property("status"); given(v))
            o->setOriginInformationStatus(v.toString());
        if (v = property("alert"); given(v))
            o->setPagerAlertLevel(v.toString());
        if (v = property("detail"); given(v))
            o->setDetailURL(v.toString());
        if (v = property("felt"); given(v))
            o->setNFeltReports(truncatedToInt(v.toDouble()));
        if (v = property("updated"); given(v))
            o->setLastUpdateEpochTime(truncatedToInt(v.toDouble() * 0.001));
        if (v = property("mmi"); given(v))
            o->setMaxInstrumentalIntensity(jsonFloat(v));
        if (v = property("cdi"); given(v))
            o->setMaxReportedIntensity(jsonFloat(v));
        if (v = property("tz"); given(v))
            o->setTzOffsetInMinutes(truncatedToInt(v.toDouble()));

        if (hasNet)
            o->setNetwork_code(net);
        // A missing network code still names the contributor as the USGS. Nearly every event
        // of a feed comes from the same few networks, so their records share one text.
        if (contributor.isNull() || hasNet != contributorHasNet || net != contributorNetwork) {
            contributorHasNet = hasNet;
            contributorNetwork = net;
            contributor = QStringLiteral("USGS-") + (hasNet ? net : QStringLiteral("unknown"));
        }
        o->setLocationContributor(contributor);

        if (!hasMagnitude) {
            qCInfo(lcFeeds).noquote() << QStringLiteral("%1 %2").arg(
                QString::fromUtf8(QJsonDocument(coordinates).toJson(QJsonDocument::Compact)),
                QString::fromUtf8(QJsonDocument(p).toJson(QJsonDocument::Compact)));
        } else {
            o->setMagnitude(magnitude);
            auto m = std::make_shared<QVRMagnitude>();
            m->setContributor(QStringLiteral("USGS"));
            m->setMvalue(magnitude);
            if (hasMagType) {
                m->setMagnitudeType(magType);
                o->setMagnitude_type(magType);
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
