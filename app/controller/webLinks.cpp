#include "webLinks.h"

#include "printableText.h"
#include "serviceEndpoints.h"

#include <QStringList>

namespace webLinks {
namespace {

using serviceEndpoints::service;

QUrl on(service which, const QString& pathAndQuery) {
    return QUrl(serviceEndpoints::baseURL(which) + pathAndQuery);
}

} // namespace

QUrl eventPage(const seismicOrigin& origin) {
    return on(service::usgsEventPages,
              QStringLiteral("/earthquakes/eventpage/") +
                  QStringLiteral("%1#summary").arg(printableText(origin.eventID())));
}

QUrl mapOfOrigin(const seismicOrigin& origin) {
    const double lat = origin.latitude(), lon = origin.longitude();
    return on(service::googleMaps,
              QStringLiteral("/maps?") +
                  QString::asprintf("ll=%.3f,%.3f&q=%.3f,%.3f&spn=15,15", lat, lon, lat, lon) +
                  QStringLiteral("&t=k&hl=en"));
}

QString newsSearchTerms(const QString& region) {
    QString words = region;
    // Each removal runs over the whole text before the next, so "SOUTHERN" loses "SOUTH"
    // and then "ERN".
    for (const char* noise : {"near", "coast ", " of ", "east", "west", "south", "north", "ern"})
        words.remove(QString::fromLatin1(noise), Qt::CaseInsensitive);
    words.replace(u',', u' ');
    words.remove(QStringLiteral("United States"));
    QString terms;
    for (const QString& piece : words.split(u' '))
        terms += u'+' + piece;
    return terms;
}

QUrl newsSearch(const seismicOrigin& origin) {
    return on(service::googleNews, QStringLiteral("/news?hl=en&ned=us&q=earthquake") +
                                       newsSearchTerms(origin.shortFlinnEngdahlString()) +
                                       QStringLiteral("&btnG=Search+News"));
}

QUrl cmtSearch(const seismicOrigin& origin) {
    const float lat = origin.latitude(), lon = origin.longitude();
    // The catalogues fill only the origin time, not the calendar fields; without the
    // origin time's day the search would ask for day 0 of year 0.
    int year = origin.year(), month = origin.month(), day = origin.day();
    if (year == 0 && origin.originDateTime().isValid()) {
        const QDate date = origin.originDateTime().toUTC().date();
        year = date.year();
        month = date.month();
        day = date.day();
    }
    return on(
        service::cmtCatalog,
        QStringLiteral("/cgi-bin/CMT2/form?itype=ymd&yr=") +
            QString::asprintf("%4.4d&mo=%2.2d&day=%2.2d", year, month, day) +
            QStringLiteral("&oyr=1976&omo=1&oday=1&jyr=1976&jday=1&ojyr=1976") +
            QStringLiteral("&ojday=1&otype=nd&nday=1&lmw=0&umw=10&lms=0&ums=10&lmb=0") +
            QString::asprintf("&umb=10&llat=%.2f&ulat=%.2f&llon=%.2f&ulon=%.2f&lhd=0&uhd=1000",
                              double(lat - 4.0f), double(lat + 4.0f), double(lon - 4.0f),
                              double(lon + 4.0f)) +
            QStringLiteral("&lts=-9999&uts=9999&lpe1=0&upe1=90&lpe2=0&upe2=90&list=0"));
}

QUrl webHome() {
    return on(service::quorvelWeb, QString());
}

QUrl infoPage(const QString& title) {
    if (title == QLatin1StringView("Magnitude"))
        return on(service::quorvelWeb, QStringLiteral("/seismic-magnitudes/"));
    if (title == QLatin1StringView("Intensity"))
        return on(service::quorvelWeb, QStringLiteral("/seismic-intensity/"));
    if (title == QLatin1StringView("Moment"))
        return on(service::quorvelWeb, QStringLiteral("/seismic-moment/"));
    return on(service::quorvelWeb, QStringLiteral("/"));
}

QUrl wcatwcPage() {
    return on(service::noaaWCATWC, QStringLiteral("/"));
}

QUrl ptwcPage() {
    return on(service::noaaPTWC, QStringLiteral("/ptwc/"));
}

QString twitterQuery(bool geoFilter, float latitude, float longitude, float radiusKm) {
    if (!geoFilter)
        return QStringLiteral("earthquake");
    return QString::asprintf("earthquake geocode:%.2f,%.2f,%.fkm", double(latitude),
                             double(longitude), double(radiusKm));
}

QUrl twitterSearch(const QString& query) {
    return QUrl(serviceEndpoints::baseURL(service::twitterSearch) + QStringLiteral("/search?q=") +
                    QString::fromLatin1(QUrl::toPercentEncoding(query)),
                QUrl::StrictMode);
}

} // namespace webLinks
