#include "seismicOrigin.h"

#include "QVRDateFormatter.h"
#include "flinnEngdahl.h"
#include "keyedArchiver.h"
#include "keyedUnarchiver.h"
#include "lenientNumbers.h"
#include "printableText.h"
#include "quorvelLogging.h"
#include "serviceEndpoints.h"
#include "timeZones.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <tuple>

// --- magnitude list

seismicOrigin::magnitudeList& seismicOrigin::magnitudes() {
    if (!magnitudes_)
        magnitudes_.emplace();
    return *magnitudes_;
}

void seismicOrigin::setMagnitudes(const magnitudeList& list) {
    magnitudes_ = list;
}

unsigned seismicOrigin::countOfMagnitudes() {
    return static_cast<unsigned>(magnitudes().size());
}

std::shared_ptr<QVRMagnitude> seismicOrigin::objectInMagnitudesAtIndex(qsizetype index) {
    const magnitudeList& list = magnitudes();
    if (index < 0 || index >= list.size()) {
        qCWarning(lcModel) << "No magnitude at index" << index << "of" << list.size();
        return nullptr;
    }
    return list.at(index);
}

bool seismicOrigin::getMagnitudes(std::shared_ptr<QVRMagnitude>* buffer, qsizetype location,
                                  qsizetype length) {
    const magnitudeList& list = magnitudes();
    if (!buffer || location < 0 || length < 0 || location > list.size() ||
        length > list.size() - location) {
        qCWarning(lcModel) << "Magnitude range" << location << length << "is outside the list of"
                           << list.size();
        return false;
    }
    std::copy(list.begin() + location, list.begin() + location + length, buffer);
    return true;
}

bool seismicOrigin::insertObjectInMagnitudesAtIndex(const std::shared_ptr<QVRMagnitude>& m,
                                                    qsizetype index) {
    magnitudeList& list = magnitudes();
    if (index < 0 || index > list.size()) {
        qCWarning(lcModel) << "Cannot insert a magnitude at index" << index << "of" << list.size();
        return false;
    }
    list.insert(index, m);
    return true;
}

void seismicOrigin::addObjectToMagnitudes(const std::shared_ptr<QVRMagnitude>& m) {
    magnitudes().append(m);
}

bool seismicOrigin::removeObjectFromMagnitudesAtIndex(qsizetype index) {
    magnitudeList& list = magnitudes();
    if (index < 0 || index >= list.size()) {
        qCWarning(lcModel) << "Cannot remove the magnitude at index" << index << "of"
                           << list.size();
        return false;
    }
    list.removeAt(index);
    return true;
}

bool seismicOrigin::replaceObjectInMagnitudesAtIndex(qsizetype index,
                                                     const std::shared_ptr<QVRMagnitude>& m) {
    magnitudeList& list = magnitudes();
    if (index < 0 || index >= list.size()) {
        qCWarning(lcModel) << "Cannot replace the magnitude at index" << index << "of"
                           << list.size();
        return false;
    }
    list.replace(index, m);
    return true;
}

// --- phases

void seismicOrigin::addPhase(const QVariant& phase) {
    if (phases_)
        phases_->append(phase);
}

void seismicOrigin::removePhase(const QVariant& phase) {
    if (phases_)
        phases_->removeAll(phase);
}

// --- derived values

void seismicOrigin::setMagnitudeToMaximumValue() {
    const magnitudeList& list = magnitudes();
    bool first = true;
    for (const auto& m : list) {
        if (!m)
            continue;
        if (first || m->mvalue() > magnitude_) {
            magnitude_ = m->mvalue();
            magnitude_type_ = m->magnitudeType();
            first = false;
        }
    }
}

void seismicOrigin::loadMagnitudeIntoMagArray() {
    auto m = std::make_shared<QVRMagnitude>();
    m->setNObs(num_stations_mag_);
    m->setMvalue(magnitude_);
    m->setMagnitudeType(magnitude_type_);
    m->setMagnitudeComment(location_method_ext_);
    addObjectToMagnitudes(m);
}

void seismicOrigin::setDateFromComponents() {
    QVRDateComponents c;
    c.year = year_;
    c.month = month_;
    c.day = day_;
    c.hour = hour_;
    c.minute = minute_;
    c.second = second_;
    originDateTime_ = c.dateInTimeZone(timeZones::utc());
}

void seismicOrigin::setLastUpdateEpochTime(int secondsSince1970) {
    lastUpdateEpochTime_ = secondsSince1970;
    lastUpdateTime_ = QDateTime::fromSecsSinceEpoch(secondsSince1970, Qt::UTC);
}

// --- region names

namespace {

// The geographic and seismic region names of a point; the numbers are stored through the
// two output references.
std::pair<const char*, const char*> regionNames(float latitude, float longitude, int& greg,
                                                int& sreg) {
    fe_lookup(latitude, 32, longitude, 32, &greg, &sreg);
    const char* geographic = nullptr;
    const char* seismic = nullptr;
    fe_region(&greg, &geographic, &sreg, &seismic);
    return {geographic, seismic};
}

// The long and short names of a geographic region, built once and then shared by every record
// in that region: a month feed has thousands of events in a few hundred regions, and building
// the two texts anew for each was a good part of reading it.
struct regionTexts {
    bool known = false;
    int seismicRegion = 0;
    QString longName;
    QString shortName;
};

// Copies under the lock, so that no thread reads an entry while another fills it.
std::pair<QString, QString> namesOfRegion(int greg, int sreg) {
    // The seismic region follows from the geographic one, so the geographic number is the key.
    static std::array<regionTexts, 1024> texts;
    static std::mutex guard;
    static regionTexts unnumbered;
    const std::lock_guard lock(guard);
    regionTexts& entry = greg >= 0 && std::size_t(greg) < texts.size() ? texts[greg] : unnumbered;
    if (!entry.known || entry.seismicRegion != sreg) {
        const char* geographic = nullptr;
        const char* seismic = nullptr;
        fe_region(&greg, &geographic, &sreg, &seismic);
        entry.longName = QLatin1StringView(geographic) + QStringLiteral(" (") +
                         QLatin1StringView(seismic) + u')';
        const qsizetype bracket = entry.longName.indexOf(u'(');
        entry.shortName = entry.longName.left(bracket).trimmed();
        entry.seismicRegion = sreg;
        entry.known = true;
    }
    return {entry.longName, entry.shortName};
}

} // namespace

void seismicOrigin::setFERegion() {
    fe_lookup(latitude_, 32, longitude_, 32, &myGreg_, &mySreg_);
    std::tie(flinnEngdahlString_, shortFlinnEngdahlString_) = namesOfRegion(myGreg_, mySreg_);
}

void seismicOrigin::setupShortFEString() {
    if (flinnEngdahlString_.isNull()) {
        shortFlinnEngdahlString_ = QString();
        return;
    }
    const qsizetype bracket = flinnEngdahlString_.indexOf(u'(');
    shortFlinnEngdahlString_ =
        (bracket < 0 ? flinnEngdahlString_ : flinnEngdahlString_.left(bracket)).trimmed();
}

QString seismicOrigin::longFERegion() {
    const auto [geographic, seismic] = regionNames(latitude_, longitude_, myGreg_, mySreg_);
    return QLatin1StringView(geographic) + QStringLiteral(" (") + QLatin1StringView(seismic) + u')';
}

void seismicOrigin::useShortFlinnEngdahlRegion() {
    const auto names = regionNames(latitude_, longitude_, myGreg_, mySreg_);
    flinnEngdahlString_ = QString::fromLatin1(names.first);
}

double seismicOrigin::ageSeconds(const QDateTime& now) const {
    // msecsTo answers 0 when either time is invalid.
    return double(originDateTime_.msecsTo(now)) / 1000.0;
}

// --- text forms

QString seismicOrigin::originTimeSinceNow(const QDateTime& now) const {
    if (!originDateTime_.isValid())
        return {};
    const double s = ageSeconds(now);
    // Later rules replace earlier ones, so the largest unit that fits wins.
    QString age;
    auto count = [s](double unit) { return truncatedToInt(s / unit); };
    auto plural = [](int n, const char* one, const char* many) {
        return n == 1 ? QString::fromLatin1(one) : QString::asprintf(many, n);
    };
    if (s > 86400)
        age = plural(count(86400), "1 day", "%d days");
    if (s > 604800)
        age = plural(count(604800), "1 week", "%d weeks");
    if (s > 31536000)
        age = plural(count(31536000), "1 year", "%d years");
    if (s > 3600 && s < 86400)
        age = plural(count(3600), "1 hour", "%d hours");
    if (s < 3600)
        age = QString::asprintf("%d minutes", count(60));
    return age;
}

QString seismicOrigin::longDateString(const QDateTime& now) const {
    const QVRDateFormatter formatter(QStringLiteral("HH:mm:ss zzz EEE, d MMM"),
                                     timeZones::systemTimeZone());
    const double s = ageSeconds(now);
    QString age;
    if (s > 86400) {
        const int days = truncatedToInt(s / 86400);
        age = days == 1 ? QStringLiteral("(1 day ago)") : QString::asprintf("(%d days ago)", days);
    } else if (s > 3600 && s < 86400) {
        const int hours = truncatedToInt(s / 3600);
        age = hours == 1 ? QString::asprintf("(%d hour ago)", 1)
                         : QString::asprintf("(%d hours ago)", hours);
    } else if (s < 3600) {
        age = QString::asprintf("(%d minutes ago)", truncatedToInt(s / 60));
    }
    return QStringLiteral("%1 %2").arg(printableText(formatter.stringFromDate(originDateTime_)),
                                       age);
}

QString seismicOrigin::description() const {
    QString text =
        QStringLiteral("Origin ID: %1").arg(printableText(eventID_)) +
        QStringLiteral(" From Contributor: %1\n").arg(printableText(locationContributor_)) +
        QStringLiteral("Origin Time:%1\n")
            .arg(QVRDateFormatter::standardDescription(originDateTime_)) +
        QString::asprintf("Lat: %.3f Lon:%.3f Depth: %.2f\n", double(latitude_), double(longitude_),
                          double(depth_));
    if (magnitudes_ && !magnitudes_->isEmpty() && magnitudes_->first()) {
        const QVRMagnitude& m = *magnitudes_->first();
        text += QString::asprintf("Magnitude: %.2f Type: ", double(m.mvalue())) +
                QStringLiteral("%1 %2\n").arg(printableText(m.magnitudeType()),
                                              printableText(m.contributor()));
    }
    return text;
}

QString seismicOrigin::headingsForSeparatedString() {
    return QStringLiteral("Origin Time | ") + QStringLiteral("Longitude | ") +
           QStringLiteral("Latitude | ") + QStringLiteral("Depth (km) | ") +
           QStringLiteral("Magnitude| ") + QStringLiteral("Magnitude Type | ") +
           QStringLiteral("Magnitude Contributor | ") + QStringLiteral("Origin ID | ") +
           QStringLiteral("Location Contributor | ") + QStringLiteral("Region String\n");
}

QString seismicOrigin::valuesInSeparatedString() const {
    QString line =
        QStringLiteral("%1 | ").arg(QVRDateFormatter::standardDescription(originDateTime_)) +
        QString::asprintf("%.3f |  %.3f |  %.2f | ", double(longitude_), double(latitude_),
                          double(depth_));
    // An origin without magnitudes has no magnitude columns at all.
    if (magnitudes_ && !magnitudes_->isEmpty() && magnitudes_->first()) {
        const QVRMagnitude& m = *magnitudes_->first();
        line += QString::asprintf("%.2f | ", double(m.mvalue())) +
                QStringLiteral("%1  | %2 | ")
                    .arg(printableText(m.magnitudeType()), printableText(m.contributor()));
    }
    line += QStringLiteral("%1 | ").arg(printableText(eventID_)) +
            QStringLiteral("%1 | ").arg(printableText(locationContributor_)) +
            QStringLiteral("%1\n").arg(printableText(csvRegionString_));
    return line;
}

QString seismicOrigin::usgsEventWebAddress() const {
    return serviceEndpoints::baseURL(serviceEndpoints::service::usgsEventPages) +
           QStringLiteral("/earthquakes/eventpage/") +
           QStringLiteral("%1%2#summary")
               .arg(printableText(locationContributor_).toLower(), printableText(eventID_));
}

// --- orderings

namespace {

// Ascending order of two numbers; unordered values (NaN) compare as equal.
int compareValues(float a, float b) {
    if (b > a)
        return -1;
    if (a > b)
        return 1;
    return 0;
}

// Literal, case-sensitive order of UTF-16 code units; an absent text sorts as empty text.
int compareTexts(const QString& a, const QString& b) {
    const int c = QString::compare(a, b, Qt::CaseSensitive);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace

int seismicOrigin::compareMagnitudes(const seismicOrigin& other) const {
    return compareValues(magnitude_, other.magnitude_);
}

int seismicOrigin::compareDepths(const seismicOrigin& other) const {
    return compareValues(depth_, other.depth_);
}

int seismicOrigin::compareLatitudes(const seismicOrigin& other) const {
    return compareValues(latitude_, other.latitude_);
}

int seismicOrigin::compareLongitudes(const seismicOrigin& other) const {
    return compareValues(longitude_, other.longitude_);
}

int seismicOrigin::compareOriginTimes(const seismicOrigin& other) const {
    // An origin without a time sorts before every dated one.
    if (originDateTime_ < other.originDateTime_)
        return -1;
    if (other.originDateTime_ < originDateTime_)
        return 1;
    return 0;
}

int seismicOrigin::compareFERegions(const seismicOrigin& other) const {
    return compareTexts(flinnEngdahlString_, other.flinnEngdahlString_);
}

int seismicOrigin::compareContributor(const seismicOrigin& other) const {
    return compareTexts(locationContributor_, other.locationContributor_);
}

// --- keyed archive

namespace {

void encodeComponents(const QVRDateComponents& c, keyedArchiver& coder) {
    const std::pair<int, const char*> fields[] = {{c.year, "year"},
                                                  {c.month, "month"},
                                                  {c.day, "day"},
                                                  {c.hour, "hour"},
                                                  {c.minute, "minute"},
                                                  {c.second, "second"},
                                                  {c.nanosecond, "nanosecond"}};
    for (const auto& [value, key] : fields) {
        if (value != QVRDateComponents::undefined)
            coder.encodeInt(value, QString::fromLatin1(key));
    }
}

QVRDateComponents componentsFromArchive(const keyedUnarchiver& coder) {
    QVRDateComponents c;
    auto read = [&coder](const char* key) {
        const QString k = QString::fromLatin1(key);
        return coder.containsValue(k) ? coder.decodeInt(k) : QVRDateComponents::undefined;
    };
    c.year = read("year");
    c.month = read("month");
    c.day = read("day");
    c.hour = read("hour");
    c.minute = read("minute");
    c.second = read("second");
    c.nanosecond = read("nanosecond");
    return c;
}

} // namespace

void seismicOrigin::encodeWithCoder(keyedArchiver& coder) const {
    coder.encodeObject(catalog_, QStringLiteral("catalog"));
    coder.encodeObject(eventID_, QStringLiteral("eventID"));
    coder.encodeObject(network_code_, QStringLiteral("network_code"));
    coder.encodeObject(timeStamp_, QStringLiteral("timeStamp"));
    coder.encodeObject(version_, QStringLiteral("version"));
    coder.encodeInt(year_, QStringLiteral("year"));
    coder.encodeInt(month_, QStringLiteral("month"));
    coder.encodeInt(day_, QStringLiteral("day"));
    coder.encodeInt(hour_, QStringLiteral("hour"));
    coder.encodeInt(minute_, QStringLiteral("minute"));
    coder.encodeInt(second_, QStringLiteral("second"));
    coder.encodeInt(msec_, QStringLiteral("msec"));
    // The calendar is stored by name ("Gregorian").
    coder.encodeObject(originCalendar_ ? originCalendar_->name() : QString(),
                       QStringLiteral("originCalendar"));
    coder.encodeObject(originDateTime_, QStringLiteral("originDateTime"));
    if (originDateComponents_) {
        coder.encodeNestedObject(
            [this](keyedArchiver& nested) { encodeComponents(*originDateComponents_, nested); },
            QStringLiteral("originDateComponents"));
    } else {
        coder.encodeNull(QStringLiteral("originDateComponents"));
    }
    coder.encodeDouble(epochTime_, QStringLiteral("epochTime"));
    coder.encodeObject(locationContributor_, QStringLiteral("locationContributor"));
    coder.encodeFloat(latitude_, QStringLiteral("latitude"));
    coder.encodeFloat(longitude_, QStringLiteral("longitude"));
    coder.encodeFloat(depth_, QStringLiteral("depth"));
    coder.encodeFloat(magnitude_, QStringLiteral("magnitude"));
    coder.encodeInt(num_phases_, QStringLiteral("num_phases"));
    coder.encodeFloat(dis_first_station_, QStringLiteral("dis_first_station"));
    coder.encodeFloat(rms_error_, QStringLiteral("rms_error"));
    coder.encodeFloat(hor_error_, QStringLiteral("hor_error"));
    coder.encodeFloat(ver_error_, QStringLiteral("ver_error"));
    coder.encodeFloat(azimuthal_gap_, QStringLiteral("azimuthal_gap"));
    coder.encodeFloat(stand_mag_error_, QStringLiteral("stand_mag_error"));
    coder.encodeObject(location_method_, QStringLiteral("location_method"));
    coder.encodeObject(location_method_ext_, QStringLiteral("location_method_ext"));
    coder.encodeObject(csvRegionString_, QStringLiteral("csvRegionString"));
    coder.encodeInt(myGreg_, QStringLiteral("myGreg"));
    coder.encodeInt(mySreg_, QStringLiteral("mySreg"));
    coder.encodeObject(flinnEngdahlString_, QStringLiteral("flinnEngdahlString"));
    coder.encodeObject(shortFlinnEngdahlString_, QStringLiteral("shortFlinnEngdahlString"));
    coder.encodeObject(magnitude_type_, QStringLiteral("magnitude_type"));
    coder.encodeObject(magnitude_type_ext_, QStringLiteral("magnitude_type_ext"));
    coder.encodeInt(num_stations_mag_, QStringLiteral("num_stations_mag"));
    if (magnitudes_)
        coder.encodeObjectList(*magnitudes_, QStringLiteral("magnitudes"));
    else
        coder.encodeNull(QStringLiteral("magnitudes"));
}

std::shared_ptr<seismicOrigin> seismicOrigin::initWithCoder(const keyedUnarchiver& coder) {
    auto o = std::make_shared<seismicOrigin>();
    o->setCatalog(coder.decodeText(QStringLiteral("catalog")));
    o->setEventID(coder.decodeText(QStringLiteral("eventID")));
    o->setNetwork_code(coder.decodeText(QStringLiteral("network_code")));
    o->setTimeStamp(coder.decodeText(QStringLiteral("timeStamp")));
    o->setVersion(coder.decodeText(QStringLiteral("version")));
    o->setYear(coder.decodeInt(QStringLiteral("year")));
    o->setMonth(coder.decodeInt(QStringLiteral("month")));
    o->setDay(coder.decodeInt(QStringLiteral("day")));
    o->setHour(coder.decodeInt(QStringLiteral("hour")));
    o->setMinute(coder.decodeInt(QStringLiteral("minute")));
    o->setSecond(coder.decodeInt(QStringLiteral("second")));
    o->setMsec(coder.decodeInt(QStringLiteral("msec")));
    const QString calendarName = coder.decodeText(QStringLiteral("originCalendar"));
    if (!calendarName.isNull())
        o->setOriginCalendar(QCalendar(calendarName));
    o->setOriginDateTime(coder.decodeDate(QStringLiteral("originDateTime")));
    if (const auto c = coder.decodeObject(QStringLiteral("originDateComponents")))
        o->setOriginDateComponents(componentsFromArchive(*c));
    o->setEpochTime(coder.decodeDouble(QStringLiteral("epochTime")));
    o->setLocationContributor(coder.decodeText(QStringLiteral("locationContributor")));
    o->setLatitude(coder.decodeFloat(QStringLiteral("latitude")));
    o->setLongitude(coder.decodeFloat(QStringLiteral("longitude")));
    o->setDepth(coder.decodeFloat(QStringLiteral("depth")));
    o->setMagnitude(coder.decodeFloat(QStringLiteral("magnitude")));
    o->setNum_phases(coder.decodeInt(QStringLiteral("num_phases")));
    o->setDis_first_station(coder.decodeFloat(QStringLiteral("dis_first_station")));
    o->setRms_error(coder.decodeFloat(QStringLiteral("rms_error")));
    o->setHor_error(coder.decodeFloat(QStringLiteral("hor_error")));
    o->setVer_error(coder.decodeFloat(QStringLiteral("ver_error")));
    o->setAzimuthal_gap(coder.decodeFloat(QStringLiteral("azimuthal_gap")));
    o->setStand_mag_error(coder.decodeFloat(QStringLiteral("stand_mag_error")));
    o->setLocation_method(coder.decodeText(QStringLiteral("location_method")));
    o->setLocation_method_ext(coder.decodeText(QStringLiteral("location_method_ext")));
    o->setCsvRegionString(coder.decodeText(QStringLiteral("csvRegionString")));
    o->setMyGreg(coder.decodeInt(QStringLiteral("myGreg")));
    o->setMySreg(coder.decodeInt(QStringLiteral("mySreg")));
    o->setFlinnEngdahlString(coder.decodeText(QStringLiteral("flinnEngdahlString")));
    o->setShortFlinnEngdahlString(coder.decodeText(QStringLiteral("shortFlinnEngdahlString")));
    o->setMagnitude_type(coder.decodeText(QStringLiteral("magnitude_type")));
    o->setMagnitude_type_ext(coder.decodeText(QStringLiteral("magnitude_type_ext")));
    o->setNum_stations_mag(coder.decodeInt(QStringLiteral("num_stations_mag")));
    if (coder.typeOfValue(QStringLiteral("magnitudes")) != keyedArchiveValue::Type::Null)
        o->setMagnitudes(coder.decodeObjectList<QVRMagnitude>(QStringLiteral("magnitudes")));
    return o;
}

void sortNewestFirst(originList& origins) {
    std::stable_sort(origins.begin(), origins.end(),
                     [](const auto& a, const auto& b) { return a->compareOriginTimes(*b) > 0; });
}
