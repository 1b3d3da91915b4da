#pragma once

#include "QVRDateComponents.h"
#include "QVRMagnitude.h"

#include <QCalendar>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

class keyedArchiver;
class keyedUnarchiver;

// One earthquake as a catalogue reports it: hypocentre, preferred magnitude, every magnitude
// determination and the catalogue's metadata. Feeds fill what they have and leave the rest at
// the blank values below (absent texts, zero numbers); everything else only reads records.
// Records are shared between lists through std::shared_ptr.
class seismicOrigin {
public:
    using magnitudeList = QList<std::shared_ptr<QVRMagnitude>>;

    seismicOrigin() = default;

    // --- identity and catalogue
    const QString& catalog() const { return catalog_; }
    void setCatalog(const QString& v) { catalog_ = v; }
    const QString& eventID() const { return eventID_; }
    void setEventID(const QString& v) { eventID_ = v; }
    const QString& network_code() const { return network_code_; }
    void setNetwork_code(const QString& v) { network_code_ = v; }
    const QString& timeStamp() const { return timeStamp_; }
    void setTimeStamp(const QString& v) { timeStamp_ = v; }
    const QString& version() const { return version_; }
    void setVersion(const QString& v) { version_ = v; }

    // --- origin time as calendar fields (UTC)
    int year() const { return year_; }
    void setYear(int v) { year_ = v; }
    int month() const { return month_; }
    void setMonth(int v) { month_ = v; }
    int day() const { return day_; }
    void setDay(int v) { day_ = v; }
    int doy() const { return doy_; }
    void setDoy(int v) { doy_ = v; }
    int hour() const { return hour_; }
    void setHour(int v) { hour_ = v; }
    int minute() const { return minute_; }
    void setMinute(int v) { minute_ = v; }
    int second() const { return second_; }
    void setSecond(int v) { second_ = v; }
    int msec() const { return msec_; }
    void setMsec(int v) { msec_ = v; }
    const std::optional<QCalendar>& originCalendar() const { return originCalendar_; }
    void setOriginCalendar(const std::optional<QCalendar>& v) { originCalendar_ = v; }
    const std::optional<QVRDateComponents>& originDateComponents() const {
        return originDateComponents_;
    }
    void setOriginDateComponents(const std::optional<QVRDateComponents>& v) {
        originDateComponents_ = v;
    }

    // --- origin time as an instant: the time every view and sort uses
    const QDateTime& originDateTime() const { return originDateTime_; }
    void setOriginDateTime(const QDateTime& v) { originDateTime_ = v; }
    double epochTime() const { return epochTime_; }
    void setEpochTime(double v) { epochTime_ = v; }

    // --- hypocentre and location quality
    const QString& locationContributor() const { return locationContributor_; }
    void setLocationContributor(const QString& v) { locationContributor_ = v; }
    float latitude() const { return latitude_; }
    void setLatitude(float v) { latitude_ = v; }
    float longitude() const { return longitude_; }
    void setLongitude(float v) { longitude_ = v; }
    float depth() const { return depth_; }
    void setDepth(float v) { depth_ = v; }
    float magnitude() const { return magnitude_; }
    void setMagnitude(float v) { magnitude_ = v; }
    int num_phases() const { return num_phases_; }
    void setNum_phases(int v) { num_phases_ = v; }
    float dis_first_station() const { return dis_first_station_; }
    void setDis_first_station(float v) { dis_first_station_ = v; }
    float rms_error() const { return rms_error_; }
    void setRms_error(float v) { rms_error_ = v; }
    float hor_error() const { return hor_error_; }
    void setHor_error(float v) { hor_error_ = v; }
    float ver_error() const { return ver_error_; }
    void setVer_error(float v) { ver_error_ = v; }
    float azimuthal_gap() const { return azimuthal_gap_; }
    void setAzimuthal_gap(float v) { azimuthal_gap_ = v; }
    float stand_mag_error() const { return stand_mag_error_; }
    void setStand_mag_error(float v) { stand_mag_error_ = v; }
    const QString& location_method() const { return location_method_; }
    void setLocation_method(const QString& v) { location_method_ = v; }
    const QString& location_method_ext() const { return location_method_ext_; }
    void setLocation_method_ext(const QString& v) { location_method_ext_ = v; }

    // --- region names
    const QString& csvRegionString() const { return csvRegionString_; }
    void setCsvRegionString(const QString& v) { csvRegionString_ = v; }
    const QString& flinnEngdahlString() const { return flinnEngdahlString_; }
    void setFlinnEngdahlString(const QString& v) { flinnEngdahlString_ = v; }
    int myGreg() const { return myGreg_; }
    void setMyGreg(int v) { myGreg_ = v; }
    int mySreg() const { return mySreg_; }
    void setMySreg(int v) { mySreg_ = v; }
    const QString& shortFlinnEngdahlString() const { return shortFlinnEngdahlString_; }
    void setShortFlinnEngdahlString(const QString& v) { shortFlinnEngdahlString_ = v; }
    // The region to show: the short Flinn–Engdahl name, or the catalogue's own region text
    // when the origin has no such name.
    const QString& shownRegionString() const {
        return shortFlinnEngdahlString_.isEmpty() ? csvRegionString_ : shortFlinnEngdahlString_;
    }

    // --- flags as the catalogue delivered them (a number or a text), shared as given
    const QVariant& tsunamiFlag() const { return tsunamiFlag_; }
    void setTsunamiFlag(const QVariant& v) { tsunamiFlag_ = v; }
    const QVariant& casualtyFlag() const { return casualtyFlag_; }
    void setCasualtyFlag(const QVariant& v) { casualtyFlag_ = v; }

    // --- preferred magnitude
    const QString& magnitude_type() const { return magnitude_type_; }
    void setMagnitude_type(const QString& v) { magnitude_type_ = v; }
    const QString& magnitude_type_ext() const { return magnitude_type_ext_; }
    void setMagnitude_type_ext(const QString& v) { magnitude_type_ext_ = v; }
    int num_stations_mag() const { return num_stations_mag_; }
    void setNum_stations_mag(int v) { num_stations_mag_ = v; }

    // --- the magnitude list. Every operation first creates an empty list if there is none.
    magnitudeList& magnitudes();
    // Replaces the list by the record's own copy; the magnitude records stay shared.
    void setMagnitudes(const magnitudeList& list);
    bool hasMagnitudeList() const { return magnitudes_.has_value(); }
    unsigned countOfMagnitudes();
    // nullptr for an index outside the list.
    std::shared_ptr<QVRMagnitude> objectInMagnitudesAtIndex(qsizetype index);
    // Copies `length` entries from `location` on into `buffer`; refuses a range outside the list.
    bool getMagnitudes(std::shared_ptr<QVRMagnitude>* buffer, qsizetype location, qsizetype length);
    // Inserts before `index` (== count appends); refuses an index past the end.
    bool insertObjectInMagnitudesAtIndex(const std::shared_ptr<QVRMagnitude>& m, qsizetype index);
    void addObjectToMagnitudes(const std::shared_ptr<QVRMagnitude>& m);
    bool removeObjectFromMagnitudesAtIndex(qsizetype index);
    bool replaceObjectInMagnitudesAtIndex(qsizetype index, const std::shared_ptr<QVRMagnitude>& m);

    // --- phase picks. No feed creates the list; adding and removing need one set first.
    const std::optional<QVariantList>& phases() const { return phases_; }
    void setPhases(const QVariantList& list) { phases_ = list; }
    void addPhase(const QVariant& phase);
    // Removes every entry equal to `phase`.
    void removePhase(const QVariant& phase);

    // --- catalogue metadata
    const QString& eventType() const { return eventType_; }
    void setEventType(const QString& v) { eventType_ = v; }
    const QString& originInformationStatus() const { return originInformationStatus_; }
    void setOriginInformationStatus(const QString& v) { originInformationStatus_ = v; }
    const QString& pagerAlertLevel() const { return pagerAlertLevel_; }
    void setPagerAlertLevel(const QString& v) { pagerAlertLevel_ = v; }
    const QString& detailURL() const { return detailURL_; }
    void setDetailURL(const QString& v) { detailURL_ = v; }
    int nFeltReports() const { return nFeltReports_; }
    void setNFeltReports(int v) { nFeltReports_ = v; }
    int lastUpdateEpochTime() const { return lastUpdateEpochTime_; }
    // Also sets lastUpdateTime to the same instant.
    void setLastUpdateEpochTime(int secondsSince1970);
    const QDateTime& lastUpdateTime() const { return lastUpdateTime_; }
    void setLastUpdateTime(const QDateTime& v) { lastUpdateTime_ = v; }
    int tzOffsetInMinutes() const { return tzOffsetInMinutes_; }
    void setTzOffsetInMinutes(int v) { tzOffsetInMinutes_ = v; }
    float maxInstrumentalIntensity() const { return maxInstrumentalIntensity_; }
    void setMaxInstrumentalIntensity(float v) { maxInstrumentalIntensity_ = v; }
    float maxReportedIntensity() const { return maxReportedIntensity_; }
    void setMaxReportedIntensity(float v) { maxReportedIntensity_ = v; }
    int eventSignificance() const { return eventSignificance_; }
    void setEventSignificance(int v) { eventSignificance_ = v; }
    // Links to further event products, e.g. "onePagerLink".
    const std::optional<QMap<QString, QString>>& gsLinks() const { return gsLinks_; }
    void setGsLinks(const std::optional<QMap<QString, QString>>& v) { gsLinks_ = v; }

    // --- derived values
    // Preferred magnitude and type from the largest value of the list; the first of several
    // equal largest values wins. An empty list changes nothing.
    void setMagnitudeToMaximumValue();
    // Appends a magnitude record made from the preferred magnitude fields.
    void loadMagnitudeIntoMagArray();
    // originDateTime from year … second, Gregorian calendar in UTC; epochTime is left alone.
    void setDateFromComponents();

    // --- region names
    // Looks up the Flinn–Engdahl regions of latitude and longitude: sets myGreg and mySreg,
    // flinnEngdahlString to "GEOGRAPHIC NAME (Seismic name)" and the short form.
    void setFERegion();
    // shortFlinnEngdahlString = flinnEngdahlString up to its first "(", trimmed.
    void setupShortFEString();
    // The long region text, without storing it (the region numbers are refreshed).
    QString longFERegion();
    // flinnEngdahlString = the geographic name alone; the short form is left as it is.
    void useShortFlinnEngdahlRegion();

    // Seconds from the origin time to `now` (negative for a time after `now`); 0 for an
    // origin without a time.
    double ageSeconds(const QDateTime& now) const;

    // --- text forms
    // Age of the event as table text: "12 minutes", "1 hour", "3 days", "2 weeks", "1 year".
    // Empty at exactly one hour or one day, and for an origin without a time.
    QString originTimeSinceNow(const QDateTime& now = QDateTime::currentDateTimeUtc()) const;
    // The origin time in the computer's own zone with the age, e.g.
    // "09:00:03 CEST Tue, 29 May (3 hours ago)".
    QString longDateString(const QDateTime& now = QDateTime::currentDateTimeUtc()) const;
    // Several lines for the log: id, contributor, time, place and the first magnitude.
    QString description() const;
    // The heading line and one value line of the pipe-separated clipboard table.
    static QString headingsForSeparatedString();
    QString valuesInSeparatedString() const;
    // The address of the event's page on the USGS web site.
    QString usgsEventWebAddress() const;

    // --- orderings: -1 when this record sorts before `other`, +1 after, 0 otherwise
    int compareMagnitudes(const seismicOrigin& other) const;
    int compareOriginTimes(const seismicOrigin& other) const;
    int compareFERegions(const seismicOrigin& other) const;
    int compareDepths(const seismicOrigin& other) const;
    int compareLatitudes(const seismicOrigin& other) const;
    int compareLongitudes(const seismicOrigin& other) const;
    int compareContributor(const seismicOrigin& other) const;

    // --- keyed archive
    void encodeWithCoder(keyedArchiver& coder) const;
    // A record read through the setters; fields the archive does not hold stay blank.
    static std::shared_ptr<seismicOrigin> initWithCoder(const keyedUnarchiver& coder);

private:
    QString catalog_;
    QString eventID_;
    QString network_code_;
    QString timeStamp_;
    QString version_;
    int year_ = 0;
    int month_ = 0;
    int day_ = 0;
    int doy_ = 0;
    int hour_ = 0;
    int minute_ = 0;
    int second_ = 0;
    int msec_ = 0;
    std::optional<QCalendar> originCalendar_;
    QDateTime originDateTime_;
    std::optional<QVRDateComponents> originDateComponents_;
    double epochTime_ = 0; // seconds since 1970-01-01 00:00:00 UTC
    QString locationContributor_;
    float latitude_ = 0;  // degrees, north positive
    float longitude_ = 0; // degrees, east positive
    float depth_ = 0;     // km
    float magnitude_ = 0;
    int num_phases_ = 0;
    float dis_first_station_ = 0; // degrees
    float rms_error_ = 0;         // s
    float hor_error_ = 0;
    float ver_error_ = 0;
    float azimuthal_gap_ = 0; // degrees
    float stand_mag_error_ = 0;
    QString location_method_;
    QString location_method_ext_;
    QString csvRegionString_;
    QVariant tsunamiFlag_;
    QVariant casualtyFlag_;
    QString flinnEngdahlString_;
    int myGreg_ = 0;
    int mySreg_ = 0;
    QString shortFlinnEngdahlString_;
    QString magnitude_type_;
    QString magnitude_type_ext_;
    int num_stations_mag_ = 0;
    std::optional<magnitudeList> magnitudes_;
    std::optional<QVariantList> phases_;
    QString eventType_;
    QString originInformationStatus_;
    QString pagerAlertLevel_;
    QString detailURL_;
    int nFeltReports_ = 0;
    int lastUpdateEpochTime_ = 0; // whole seconds since 1970
    QDateTime lastUpdateTime_;
    int tzOffsetInMinutes_ = 0;
    float maxInstrumentalIntensity_ = 0;
    float maxReportedIntensity_ = 0;
    int eventSignificance_ = 0;
    std::optional<QMap<QString, QString>> gsLinks_;
};

using originList = QList<std::shared_ptr<seismicOrigin>>;

// Newest origin first, as every view shows a fresh load; equal times keep their order.
void sortNewestFirst(originList& origins);
