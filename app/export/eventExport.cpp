#include "eventExport.h"

#include "displayUnits.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>
#include <QXmlStreamWriter>

#include <charconv>
#include <cmath>

namespace {

// Our numbers are floats: their shortest decimal form reads back as the same float, where the
// float widened to a double would print as "35.12300109863281".
QString shortest(float value) {
    char digits[32];
    const auto written = std::to_chars(digits, digits + sizeof digits, value);
    return QString::fromLatin1(digits, written.ptr - digits);
}

double jsonNumber(float value) {
    return shortest(value).toDouble();
}

// Quality figures the catalogues did not give are left at zero by the readers.
QString figureOrEmpty(float value) {
    return value == 0 ? QString() : shortest(value);
}

QJsonValue figureOrNull(float value) {
    return value == 0 ? QJsonValue(QJsonValue::Null) : QJsonValue(jsonNumber(value));
}

QJsonValue textOrNull(const QString& text) {
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QString isoTime(const QDateTime& time) {
    return time.isValid() ? time.toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz'Z'"))
                          : QString();
}

originList newestFirst(const originList& origins) {
    originList sorted = origins;
    sortNewestFirst(sorted);
    return sorted;
}

// The catalogue's own place text; the Flinn–Engdahl name for catalogues that give none.
QString placeOf(const seismicOrigin& o) {
    return o.csvRegionString().isEmpty() ? o.shortFlinnEngdahlString() : o.csvRegionString();
}

// The entry of the magnitude list the origin's own magnitude came from; none when the list
// holds no such entry.
std::shared_ptr<QVRMagnitude> preferredMagnitude(seismicOrigin& o) {
    if (!o.hasMagnitudeList())
        return nullptr;
    for (const auto& m : o.magnitudes()) {
        if (m->mvalue() == o.magnitude() &&
            (o.magnitude_type().isEmpty() || m->magnitudeType() == o.magnitude_type()))
            return m;
    }
    return nullptr;
}

// --- CSV

QString csvField(const QString& text, bool alwaysQuoted = false) {
    static const QString needsQuotes = QStringLiteral(",\"\r\n");
    bool quoted = alwaysQuoted;
    for (const QChar c : needsQuotes)
        quoted = quoted || text.contains(c);
    if (!quoted)
        return text;
    QString escaped = text;
    escaped.replace(u'"', QStringLiteral("\"\""));
    return u'"' + escaped + u'"';
}

QString csvLine(seismicOrigin& o) {
    const std::shared_ptr<QVRMagnitude> preferred = preferredMagnitude(o);
    const QStringList fields = {
        isoTime(o.originDateTime()),
        shortest(o.latitude()),
        shortest(o.longitude()),
        shortest(o.depth()),
        shortest(o.magnitude()),
        csvField(o.magnitude_type()),
        o.num_stations_mag() > 0 ? QString::number(o.num_stations_mag()) : QString(),
        figureOrEmpty(o.azimuthal_gap()),
        figureOrEmpty(o.dis_first_station()),
        figureOrEmpty(o.rms_error()),
        csvField(o.network_code()),
        csvField(o.eventID()),
        isoTime(o.lastUpdateTime()),
        csvField(placeOf(o), true),
        csvField(o.eventType()),
        figureOrEmpty(o.hor_error()),
        figureOrEmpty(o.ver_error()),
        figureOrEmpty(o.stand_mag_error()),
        QString(), // magNst: our station count is the location's
        csvField(o.originInformationStatus()),
        csvField(o.locationContributor()),
        csvField(preferred ? preferred->contributor() : QString()),
    };
    return fields.join(u',');
}

// --- GeoJSON

QJsonObject geoJSONFeature(seismicOrigin& o) {
    // The feed's "code" is the id without the network's prefix.
    QString code = o.eventID();
    if (!o.network_code().isEmpty() && code.startsWith(o.network_code()))
        code = code.mid(o.network_code().size());
    const QString place = placeOf(o);
    QJsonObject p;
    p.insert(QStringLiteral("mag"), jsonNumber(o.magnitude()));
    p.insert(QStringLiteral("place"), textOrNull(place));
    p.insert(QStringLiteral("time"), o.originDateTime().isValid()
                                         ? QJsonValue(o.originDateTime().toMSecsSinceEpoch())
                                         : QJsonValue(QJsonValue::Null));
    p.insert(QStringLiteral("updated"), o.lastUpdateTime().isValid()
                                            ? QJsonValue(o.lastUpdateTime().toMSecsSinceEpoch())
                                            : QJsonValue(QJsonValue::Null));
    p.insert(QStringLiteral("tz"), o.tzOffsetInMinutes() != 0 ? QJsonValue(o.tzOffsetInMinutes())
                                                              : QJsonValue(QJsonValue::Null));
    p.insert(QStringLiteral("detail"), textOrNull(o.detailURL()));
    p.insert(QStringLiteral("felt"),
             o.nFeltReports() > 0 ? QJsonValue(o.nFeltReports()) : QJsonValue(QJsonValue::Null));
    p.insert(QStringLiteral("cdi"), figureOrNull(o.maxReportedIntensity()));
    p.insert(QStringLiteral("mmi"), figureOrNull(o.maxInstrumentalIntensity()));
    p.insert(QStringLiteral("alert"), textOrNull(o.pagerAlertLevel()));
    p.insert(QStringLiteral("status"), textOrNull(o.originInformationStatus()));
    p.insert(QStringLiteral("tsunami"), o.tsunamiFlag().isValid()
                                            ? QJsonValue::fromVariant(o.tsunamiFlag())
                                            : QJsonValue(QJsonValue::Null));
    p.insert(QStringLiteral("sig"), o.eventSignificance() > 0 ? QJsonValue(o.eventSignificance())
                                                              : QJsonValue(QJsonValue::Null));
    p.insert(QStringLiteral("net"), textOrNull(o.network_code()));
    p.insert(QStringLiteral("code"), textOrNull(code));
    p.insert(QStringLiteral("ids"), o.eventID().isEmpty() ? QJsonValue(QJsonValue::Null)
                                                          : QJsonValue(u',' + o.eventID() + u','));
    p.insert(QStringLiteral("sources"), o.network_code().isEmpty()
                                            ? QJsonValue(QJsonValue::Null)
                                            : QJsonValue(u',' + o.network_code() + u','));
    p.insert(QStringLiteral("nst"), o.num_stations_mag() > 0 ? QJsonValue(o.num_stations_mag())
                                                             : QJsonValue(QJsonValue::Null));
    p.insert(QStringLiteral("dmin"), figureOrNull(o.dis_first_station()));
    p.insert(QStringLiteral("rms"), figureOrNull(o.rms_error()));
    p.insert(QStringLiteral("gap"), figureOrNull(o.azimuthal_gap()));
    p.insert(QStringLiteral("magType"), textOrNull(o.magnitude_type()));
    p.insert(QStringLiteral("type"), textOrNull(o.eventType()));
    p.insert(QStringLiteral("title"),
             QStringLiteral("M %1 - %2").arg(QString::number(o.magnitude(), 'f', 1), place));

    QJsonObject feature;
    feature.insert(QStringLiteral("type"), QStringLiteral("Feature"));
    feature.insert(QStringLiteral("properties"), p);
    feature.insert(QStringLiteral("geometry"),
                   QJsonObject{{QStringLiteral("type"), QStringLiteral("Point")},
                               {QStringLiteral("coordinates"),
                                QJsonArray{jsonNumber(o.longitude()), jsonNumber(o.latitude()),
                                           jsonNumber(o.depth())}}});
    feature.insert(QStringLiteral("id"), textOrNull(o.eventID()));
    return feature;
}

// --- XML

// Characters XML 1.0 cannot carry at all; catalogue texts should hold none, but one stray
// control character must not make the whole file unreadable.
QString xmlText(const QString& text) {
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 || c == u'\t' || c == u'\n' || c == u'\r')
            clean += c;
    }
    return clean;
}

void textElement(QXmlStreamWriter& xml, const QString& name, const QString& text) {
    xml.writeTextElement(name, xmlText(text));
}

// --- QuakeML

const QString quakeMLAuthority = QStringLiteral("smi:org.quorvel/");

// Resource identifiers allow letters, digits and a few marks; anything else in an event id
// becomes "_" so that the identifier stays valid.
QString identifierPart(const QString& text) {
    static const QString marks = QStringLiteral("-.*()_~'");
    QString part;
    for (const QChar c : text) {
        const bool plain = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                           (c >= u'0' && c <= u'9') || marks.contains(c);
        part += plain ? c : u'_';
    }
    return part;
}

bool isQuakeMLEventType(const QString& type) {
    static const QSet<QString> types = {
        QStringLiteral("not existing"),
        QStringLiteral("not reported"),
        QStringLiteral("earthquake"),
        QStringLiteral("anthropogenic event"),
        QStringLiteral("collapse"),
        QStringLiteral("cavity collapse"),
        QStringLiteral("mine collapse"),
        QStringLiteral("building collapse"),
        QStringLiteral("explosion"),
        QStringLiteral("accidental explosion"),
        QStringLiteral("chemical explosion"),
        QStringLiteral("controlled explosion"),
        QStringLiteral("experimental explosion"),
        QStringLiteral("industrial explosion"),
        QStringLiteral("mining explosion"),
        QStringLiteral("quarry blast"),
        QStringLiteral("road cut"),
        QStringLiteral("blasting levee"),
        QStringLiteral("nuclear explosion"),
        QStringLiteral("induced or triggered event"),
        QStringLiteral("rock burst"),
        QStringLiteral("reservoir loading"),
        QStringLiteral("fluid injection"),
        QStringLiteral("fluid extraction"),
        QStringLiteral("crash"),
        QStringLiteral("plane crash"),
        QStringLiteral("train crash"),
        QStringLiteral("boat crash"),
        QStringLiteral("other event"),
        QStringLiteral("atmospheric event"),
        QStringLiteral("sonic boom"),
        QStringLiteral("sonic blast"),
        QStringLiteral("acoustic noise"),
        QStringLiteral("thunder"),
        QStringLiteral("avalanche"),
        QStringLiteral("snow avalanche"),
        QStringLiteral("debris avalanche"),
        QStringLiteral("hydroacoustic event"),
        QStringLiteral("ice quake"),
        QStringLiteral("slide"),
        QStringLiteral("landslide"),
        QStringLiteral("rockslide"),
        QStringLiteral("meteorite"),
        QStringLiteral("volcanic eruption"),
    };
    return types.contains(type);
}

void quantity(QXmlStreamWriter& xml, const QString& name, const QString& value,
              const QString& uncertainty = {}) {
    xml.writeStartElement(name);
    xml.writeTextElement(QStringLiteral("value"), value);
    if (!uncertainty.isEmpty())
        xml.writeTextElement(QStringLiteral("uncertainty"), uncertainty);
    xml.writeEndElement();
}

void creationInfo(QXmlStreamWriter& xml, const QString& agency) {
    if (agency.isEmpty())
        return;
    xml.writeStartElement(QStringLiteral("creationInfo"));
    textElement(xml, QStringLiteral("agencyID"), agency.left(64));
    xml.writeEndElement();
}

// km as whole metres, QuakeML's unit of depth and location uncertainty.
QString metres(float km) {
    return QString::number(std::llround(jsonNumber(km) * 1000.0));
}

void quakeMLEvent(QXmlStreamWriter& xml, seismicOrigin& o, const QString& eventID) {
    const QString originID = eventID + QStringLiteral("/origin");
    xml.writeStartElement(QStringLiteral("event"));
    xml.writeAttribute(QStringLiteral("publicID"), eventID);

    const QString region = o.shownRegionString();
    if (!o.shortFlinnEngdahlString().isEmpty()) {
        xml.writeStartElement(QStringLiteral("description"));
        textElement(xml, QStringLiteral("text"), o.shortFlinnEngdahlString());
        xml.writeTextElement(QStringLiteral("type"), QStringLiteral("Flinn-Engdahl region"));
        xml.writeEndElement();
    }
    // The catalogue's own place text ("12 km SSW of …") as well, when it says something else.
    if (!o.csvRegionString().isEmpty() && o.csvRegionString() != o.shortFlinnEngdahlString()) {
        xml.writeStartElement(QStringLiteral("description"));
        textElement(xml, QStringLiteral("text"), o.csvRegionString());
        xml.writeTextElement(QStringLiteral("type"), QStringLiteral("region name"));
        xml.writeEndElement();
    }

    xml.writeStartElement(QStringLiteral("origin"));
    xml.writeAttribute(QStringLiteral("publicID"), originID);
    if (o.originDateTime().isValid())
        quantity(xml, QStringLiteral("time"), isoTime(o.originDateTime()));
    quantity(xml, QStringLiteral("latitude"), shortest(o.latitude()));
    quantity(xml, QStringLiteral("longitude"), shortest(o.longitude()));
    quantity(xml, QStringLiteral("depth"), metres(o.depth()),
             o.ver_error() > 0 ? metres(o.ver_error()) : QString());
    if (o.hor_error() > 0) {
        xml.writeStartElement(QStringLiteral("originUncertainty"));
        xml.writeTextElement(QStringLiteral("horizontalUncertainty"), metres(o.hor_error()));
        xml.writeTextElement(QStringLiteral("preferredDescription"),
                             QStringLiteral("horizontal uncertainty"));
        xml.writeEndElement();
    }
    if (o.num_stations_mag() > 0 || o.rms_error() > 0 || o.azimuthal_gap() > 0 ||
        o.dis_first_station() > 0) {
        xml.writeStartElement(QStringLiteral("quality"));
        if (o.num_stations_mag() > 0)
            xml.writeTextElement(QStringLiteral("usedStationCount"),
                                 QString::number(o.num_stations_mag()));
        if (o.rms_error() > 0)
            xml.writeTextElement(QStringLiteral("standardError"), shortest(o.rms_error()));
        if (o.azimuthal_gap() > 0)
            xml.writeTextElement(QStringLiteral("azimuthalGap"), shortest(o.azimuthal_gap()));
        if (o.dis_first_station() > 0)
            xml.writeTextElement(QStringLiteral("minimumDistance"),
                                 shortest(o.dis_first_station()));
        xml.writeEndElement();
    }
    if (!region.isEmpty())
        textElement(xml, QStringLiteral("region"), region.left(128));
    creationInfo(xml, o.network_code().isEmpty() ? o.locationContributor() : o.network_code());
    xml.writeEndElement(); // origin

    // Every magnitude of the list; the origin's own one is added when the list lacks it.
    seismicOrigin::magnitudeList magnitudes;
    if (o.hasMagnitudeList())
        magnitudes = o.magnitudes();
    std::shared_ptr<QVRMagnitude> preferred = preferredMagnitude(o);
    if (!preferred) {
        preferred = std::make_shared<QVRMagnitude>();
        preferred->setMvalue(o.magnitude());
        preferred->setMagnitudeType(o.magnitude_type());
        magnitudes.append(preferred);
    }
    QString preferredID;
    for (qsizetype n = 0; n < magnitudes.size(); ++n) {
        const QVRMagnitude& m = *magnitudes.at(n);
        const QString magnitudeID = eventID + QStringLiteral("/magnitude/%1").arg(n + 1);
        if (magnitudes.at(n) == preferred)
            preferredID = magnitudeID;
        xml.writeStartElement(QStringLiteral("magnitude"));
        xml.writeAttribute(QStringLiteral("publicID"), magnitudeID);
        quantity(xml, QStringLiteral("mag"), shortest(m.mvalue()),
                 m.uncertainty() > 0 ? shortest(m.uncertainty()) : QString());
        if (!m.magnitudeType().isEmpty())
            textElement(xml, QStringLiteral("type"), m.magnitudeType().left(32));
        xml.writeTextElement(QStringLiteral("originID"), originID);
        if (m.nObs() > 0)
            xml.writeTextElement(QStringLiteral("stationCount"), QString::number(m.nObs()));
        creationInfo(xml, m.contributor());
        xml.writeEndElement();
    }

    xml.writeTextElement(QStringLiteral("preferredOriginID"), originID);
    xml.writeTextElement(QStringLiteral("preferredMagnitudeID"), preferredID);
    if (isQuakeMLEventType(o.eventType()))
        xml.writeTextElement(QStringLiteral("type"), o.eventType());
    creationInfo(xml, o.catalog());
    xml.writeEndElement(); // event
}

// --- KML

// KML colours are aabbggrr.
QString kmlColor(const QColor& color) {
    return QString::asprintf("%02x%02x%02x%02x", color.alpha(), color.blue(), color.green(),
                             color.red());
}

// Magnitude classes by whole magnitude, as the map's symbols grow with magnitude.
int magnitudeClass(float magnitude) {
    return std::clamp(int(std::floor(magnitude)), 0, 9);
}

QString styleID(int magnitude, int age) {
    return QStringLiteral("m%1-age%2").arg(magnitude).arg(age);
}

void kmlStyle(QXmlStreamWriter& xml, int magnitude, int age, const QColor& color) {
    xml.writeStartElement(QStringLiteral("Style"));
    xml.writeAttribute(QStringLiteral("id"), styleID(magnitude, age));
    xml.writeStartElement(QStringLiteral("IconStyle"));
    xml.writeTextElement(QStringLiteral("color"), kmlColor(color));
    // Grows with the square of the magnitude: M 2 is small, M 8 about four times larger.
    const double ratio = magnitude / 6.0;
    xml.writeTextElement(QStringLiteral("scale"), QString::number(0.5 + ratio * ratio, 'f', 2));
    xml.writeStartElement(QStringLiteral("Icon"));
    xml.writeTextElement(QStringLiteral("href"),
                         QStringLiteral("http://maps.google.com/mapfiles/kml/shapes/"
                                        "shaded_dot.png"));
    xml.writeEndElement(); // Icon
    xml.writeEndElement(); // IconStyle
    // The names show on hover; a label beside each of hundreds of dots hides the map.
    xml.writeStartElement(QStringLiteral("LabelStyle"));
    xml.writeTextElement(QStringLiteral("scale"), QStringLiteral("0"));
    xml.writeEndElement();
    xml.writeEndElement(); // Style
}

} // namespace

eventExport::ageColouring eventExport::colouringOf(const displaySettings& settings,
                                                   const QDateTime& now) {
    return {settings.ageColors, displayUnits::timeUnitSeconds(settings.timeUnitIndex),
            settings.recentCutoff, settings.olderCutoff, now};
}

std::optional<eventExport::format> eventExport::formatNamed(const QString& name) {
    if (name == QLatin1StringView("csv"))
        return format::csv;
    if (name == QLatin1StringView("geojson"))
        return format::geoJSON;
    if (name == QLatin1StringView("quakeml"))
        return format::quakeML;
    if (name == QLatin1StringView("kml"))
        return format::kml;
    return std::nullopt;
}

std::optional<eventExport::format> eventExport::formatOfPath(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1StringView("csv"))
        return format::csv;
    if (suffix == QLatin1StringView("geojson") || suffix == QLatin1StringView("json"))
        return format::geoJSON;
    if (suffix == QLatin1StringView("xml") || suffix == QLatin1StringView("quakeml"))
        return format::quakeML;
    if (suffix == QLatin1StringView("kml"))
        return format::kml;
    return std::nullopt;
}

QStringList eventExport::fileFilters() {
    return {QStringLiteral("CSV, USGS columns (*.csv)"),
            QStringLiteral("GeoJSON (*.geojson *.json)"),
            QStringLiteral("QuakeML 1.2 (*.xml *.quakeml)"), QStringLiteral("KML (*.kml)")};
}

eventExport::format eventExport::formatOfFilter(const QString& filter) {
    return format(std::max<qsizetype>(0, fileFilters().indexOf(filter)));
}

QString eventExport::suffixOf(format f) {
    switch (f) {
    case format::csv:
        return QStringLiteral("csv");
    case format::geoJSON:
        return QStringLiteral("geojson");
    case format::quakeML:
        return QStringLiteral("xml");
    case format::kml:
        return QStringLiteral("kml");
    }
    return {};
}

QByteArray eventExport::csv(const originList& origins) {
    QString text = QStringLiteral(
        "time,latitude,longitude,depth,mag,magType,nst,gap,dmin,rms,net,id,updated,place,type,"
        "horizontalError,depthError,magError,magNst,status,locationSource,magSource\n");
    for (const auto& o : newestFirst(origins))
        text += csvLine(*o) + u'\n';
    return text.toUtf8();
}

QByteArray eventExport::geoJSON(const originList& origins, const QDateTime& generated) {
    const originList sorted = newestFirst(origins);
    QJsonArray features;
    for (const auto& o : sorted)
        features.append(geoJSONFeature(*o));
    QJsonObject metadata{{QStringLiteral("generated"), generated.toMSecsSinceEpoch()},
                         {QStringLiteral("title"), QStringLiteral("Quorvel events")},
                         {QStringLiteral("status"), 200},
                         {QStringLiteral("count"), sorted.size()}};
    QJsonObject collection{{QStringLiteral("type"), QStringLiteral("FeatureCollection")},
                           {QStringLiteral("metadata"), metadata},
                           {QStringLiteral("features"), features}};
    return QJsonDocument(collection).toJson(QJsonDocument::Compact);
}

QByteArray eventExport::quakeML(const originList& origins, const QDateTime& created) {
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeNamespace(QStringLiteral("http://quakeml.org/xmlns/quakeml/1.2"), QStringLiteral("q"));
    xml.writeDefaultNamespace(QStringLiteral("http://quakeml.org/xmlns/bed/1.2"));
    xml.writeStartElement(QStringLiteral("http://quakeml.org/xmlns/quakeml/1.2"),
                          QStringLiteral("quakeml"));
    xml.writeStartElement(QStringLiteral("eventParameters"));
    xml.writeAttribute(QStringLiteral("publicID"),
                       quakeMLAuthority + QStringLiteral("eventParameters/") +
                           created.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmsszzz")));
    QSet<QString> usedIDs;
    for (const auto& o : newestFirst(origins)) {
        QString part = identifierPart(o->eventID());
        if (part.isEmpty())
            part = o->originDateTime().toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmsszzz"));
        if (part.isEmpty())
            part = QStringLiteral("unknown");
        QString eventID = quakeMLAuthority + QStringLiteral("event/") + part;
        // Two origins of one event in one list still need identifiers of their own.
        for (int n = 2; usedIDs.contains(eventID); ++n)
            eventID = quakeMLAuthority + QStringLiteral("event/%1-%2").arg(part).arg(n);
        usedIDs.insert(eventID);
        quakeMLEvent(xml, *o, eventID);
    }
    xml.writeEndElement(); // eventParameters
    xml.writeEndElement(); // quakeml
    xml.writeEndDocument();
    return bytes;
}

QByteArray eventExport::kml(const originList& origins, const ageColouring& colouring) {
    const originList sorted = newestFirst(origins);
    // The age class each event has on the map, by the map's own rule.
    QList<int> ages;
    QSet<QString> styles;
    for (const auto& o : sorted)
        ages.append(displayUnits::ageClass(o->ageSeconds(colouring.now) / colouring.unitSeconds,
                                           colouring.recentCutoff, colouring.olderCutoff));

    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(QStringLiteral("http://www.opengis.net/kml/2.2"));
    xml.writeStartElement(QStringLiteral("http://www.opengis.net/kml/2.2"), QStringLiteral("kml"));
    xml.writeStartElement(QStringLiteral("Document"));
    xml.writeTextElement(QStringLiteral("name"), QStringLiteral("Quorvel events"));
    for (qsizetype n = 0; n < sorted.size(); ++n) {
        const int magnitude = magnitudeClass(sorted.at(n)->magnitude());
        const int age = std::clamp(ages.at(n), 0, 2);
        if (!styles.contains(styleID(magnitude, age))) {
            styles.insert(styleID(magnitude, age));
            kmlStyle(xml, magnitude, age, colouring.ageColors.at(std::size_t(age)));
        }
    }
    for (qsizetype n = 0; n < sorted.size(); ++n) {
        const seismicOrigin& o = *sorted.at(n);
        xml.writeStartElement(QStringLiteral("Placemark"));
        textElement(xml, QStringLiteral("name"),
                    QStringLiteral("M %1 – %2")
                        .arg(QString::number(o.magnitude(), 'f', 1), o.shownRegionString()));
        QStringList lines = {
            QStringLiteral("%1 UTC").arg(
                o.originDateTime().toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))),
            QStringLiteral("Magnitude %1 %2").arg(shortest(o.magnitude()), o.magnitude_type()),
            QStringLiteral("Depth %1 km").arg(shortest(o.depth()))};
        if (!placeOf(o).isEmpty())
            lines << placeOf(o);
        if (!o.eventID().isEmpty())
            lines << o.eventID();
        textElement(xml, QStringLiteral("description"), lines.join(u'\n'));
        if (o.originDateTime().isValid()) {
            xml.writeStartElement(QStringLiteral("TimeStamp"));
            xml.writeTextElement(QStringLiteral("when"), isoTime(o.originDateTime()));
            xml.writeEndElement();
        }
        xml.writeTextElement(
            QStringLiteral("styleUrl"),
            u'#' + styleID(magnitudeClass(o.magnitude()), std::clamp(ages.at(n), 0, 2)));
        xml.writeStartElement(QStringLiteral("Point"));
        xml.writeTextElement(QStringLiteral("coordinates"),
                             shortest(o.longitude()) + u',' + shortest(o.latitude()));
        xml.writeEndElement(); // Point
        xml.writeEndElement(); // Placemark
    }
    xml.writeEndElement(); // Document
    xml.writeEndElement(); // kml
    xml.writeEndDocument();
    return bytes;
}

QByteArray eventExport::exported(const originList& origins, format f,
                                 const ageColouring& colouring) {
    switch (f) {
    case format::csv:
        return csv(origins);
    case format::geoJSON:
        return geoJSON(origins);
    case format::quakeML:
        return quakeML(origins);
    case format::kml:
        return kml(origins, colouring);
    }
    return {};
}

QVRResult<void> eventExport::write(const originList& origins, format f, const QString& path,
                                   const ageColouring& colouring) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QVRResult<void>::failure(file.errorString());
    file.write(exported(origins, f, colouring));
    if (!file.commit())
        return QVRResult<void>::failure(file.errorString());
    return QVRResult<void>::success();
}
