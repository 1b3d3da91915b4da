#include "serviceEndpoints.h"

#include <QSettings>
#include <QUrl>

#include <iterator>

namespace serviceEndpoints {
namespace {

const description services[] = {
    {service::usgsFeeds, "usgsFeeds", "QUORVEL_USGS_FEED_URL", "https://earthquake.usgs.gov"},
    {service::usgsEventPages, "usgsEventPages", "QUORVEL_USGS_EVENT_PAGE_URL",
     "https://earthquake.usgs.gov"},
    {service::usgsNEIC, "usgsNEIC", "QUORVEL_USGS_NEIC_URL", "https://earthquake.usgs.gov"},
    {service::noaaWCATWC, "noaaWCATWC", "QUORVEL_WCATWC_URL", "https://wcatwc.arh.noaa.gov"},
    {service::noaaPTWC, "noaaPTWC", "QUORVEL_PTWC_URL", "https://ptwc.weather.gov"},
    // Unset, the search asks the service chosen in its preferences.
    {service::fdsnEvents, "fdsnEvents", "QUORVEL_FDSN_EVENT_URL", ""},
    {service::fdsnUSGS, "fdsnUSGS", "QUORVEL_FDSN_USGS_URL", "https://earthquake.usgs.gov"},
    {service::fdsnEMSC, "fdsnEMSC", "QUORVEL_FDSN_EMSC_URL", "https://www.seismicportal.eu"},
    {service::fdsnINGV, "fdsnINGV", "QUORVEL_FDSN_INGV_URL", "https://webservices.ingv.it"},
    {service::fdsnGFZ, "fdsnGFZ", "QUORVEL_FDSN_GFZ_URL", "https://geofon.gfz-potsdam.de"},
    {service::fdsnISC, "fdsnISC", "QUORVEL_FDSN_ISC_URL", "https://www.isc.ac.uk"},
    {service::fdsnIRIS, "fdsnIRIS", "QUORVEL_FDSN_IRIS_URL", "https://service.iris.edu"},
    {service::ingvEvents, "ingvEvents", "QUORVEL_INGV_URL", "https://terremoti.ingv.it"},
    {service::emsc, "emsc", "QUORVEL_EMSC_URL", "https://www.emsc-csem.org"},
    {service::pdeSearch, "pdeSearch", "QUORVEL_PDE_URL", "https://neic.usgs.gov"},
    {service::quorvelWeb, "quorvelWeb", "QUORVEL_WEB_URL", "https://www.quorvel.org"},
    {service::googleMaps, "googleMaps", "QUORVEL_MAPS_URL", "https://maps.google.com"},
    {service::googleNews, "googleNews", "QUORVEL_NEWS_URL", "https://news.google.com"},
    {service::cmtCatalog, "cmtCatalog", "QUORVEL_CMT_URL", "https://www.globalcmt.org"},
    {service::twitterSearch, "twitterSearch", "QUORVEL_TWITTER_URL", "https://twitter.com"},
    {service::timeSeries, "timeSeries", "QUORVEL_TIMESERIES_URL", "https://service.iris.edu"},
    {service::fdsnDataIRIS, "fdsnDataIRIS", "QUORVEL_FDSN_DATA_IRIS_URL",
     "https://service.iris.edu"},
    {service::fdsnDataGEOFON, "fdsnDataGEOFON", "QUORVEL_FDSN_DATA_GEOFON_URL",
     "https://geofon.gfz-potsdam.de"},
    {service::fdsnDataORFEUS, "fdsnDataORFEUS", "QUORVEL_FDSN_DATA_ORFEUS_URL",
     "https://www.orfeus-eu.org"},
    {service::fdsnDataINGV, "fdsnDataINGV", "QUORVEL_FDSN_DATA_INGV_URL",
     "https://webservices.ingv.it"},
    {service::fdsnDataRESIF, "fdsnDataRESIF", "QUORVEL_FDSN_DATA_RESIF_URL", "https://ws.resif.fr"},
    {service::fdsnDataETHZ, "fdsnDataETHZ", "QUORVEL_FDSN_DATA_ETHZ_URL", "https://eida.ethz.ch"},
    {service::fdsnDataNCEDC, "fdsnDataNCEDC", "QUORVEL_FDSN_DATA_NCEDC_URL",
     "https://service.ncedc.org"},
    {service::fdsnDataSCEDC, "fdsnDataSCEDC", "QUORVEL_FDSN_DATA_SCEDC_URL",
     "https://service.scedc.caltech.edu"},
};

} // namespace

const description* begin() {
    return std::begin(services);
}

const description* end() {
    return std::end(services);
}

QString baseURL(service which) {
    for (const description& d : services) {
        if (d.which != which)
            continue;
        QString url = qEnvironmentVariable(d.environmentVariable);
        if (url.isEmpty())
            url = QSettings()
                      .value(QStringLiteral("services/") + QLatin1StringView(d.settingsKey),
                             QString::fromLatin1(d.defaultURL))
                      .toString();
        while (url.endsWith(u'/'))
            url.chop(1);
        return url;
    }
    return {};
}

const QList<fdsnEventService>& fdsnEventServices() {
    static const QList<fdsnEventService> list = {
        {"usgs", "USGS", service::fdsnUSGS}, {"emsc", "EMSC", service::fdsnEMSC},
        {"ingv", "INGV", service::fdsnINGV}, {"gfz", "GFZ", service::fdsnGFZ},
        {"isc", "ISC", service::fdsnISC},    {"iris", "IRIS", service::fdsnIRIS},
    };
    return list;
}

QString fdsnEventServiceURL(const QString& choice) {
    QString chosen;
    for (const fdsnEventService& s : fdsnEventServices()) {
        if (choice == QLatin1StringView(s.name))
            chosen = baseURL(s.which);
    }
    if (chosen.isNull())
        chosen = typedServiceURL(choice);
    if (chosen.isNull())
        return {};
    const QString replacement = baseURL(service::fdsnEvents);
    return replacement.isEmpty() ? chosen : replacement;
}

QString typedServiceURL(const QString& typed) {
    const QUrl url(typed.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() ||
        (url.scheme() != QLatin1StringView("http") && url.scheme() != QLatin1StringView("https")))
        return {};
    QString base =
        url.toString(QUrl::StripTrailingSlash | QUrl::RemoveQuery | QUrl::RemoveFragment);
    while (base.endsWith(u'/'))
        base.chop(1);
    return base;
}

const QList<fdsnDataCentre>& fdsnDataCentres() {
    static const QList<fdsnDataCentre> list = {
        {"iris", service::fdsnDataIRIS, "rtserve.earthscope.org:18000"},
        {"geofon", service::fdsnDataGEOFON, "geofon.gfz-potsdam.de:18000"},
        {"orfeus", service::fdsnDataORFEUS, nullptr},
        {"ingv", service::fdsnDataINGV, nullptr},
        {"resif", service::fdsnDataRESIF, "rtserve.resif.fr:18000"},
        {"ethz", service::fdsnDataETHZ, nullptr},
        {"ncedc", service::fdsnDataNCEDC, nullptr},
        {"scedc", service::fdsnDataSCEDC, nullptr},
    };
    return list;
}

const fdsnDataCentre* fdsnDataCentreNamed(const QString& name) {
    for (const fdsnDataCentre& centre : fdsnDataCentres()) {
        if (name == QLatin1StringView(centre.name))
            return &centre;
    }
    return nullptr;
}

QStringList offeredSeedLinkServers() {
    QStringList servers;
    for (const fdsnDataCentre& centre : fdsnDataCentres()) {
        if (centre.seedLinkServer)
            servers << QString::fromLatin1(centre.seedLinkServer);
    }
    return servers;
}

namespace {

const QString seedLinkServerKey = QStringLiteral("services/seedlinkServer");

QStringView hostOf(const QString& server) {
    const qsizetype colon = server.lastIndexOf(u':');
    return QStringView(server).left(colon < 0 ? server.size() : colon);
}

} // namespace

QString keptSeedLinkServer() {
    return QSettings().value(seedLinkServerKey, offeredSeedLinkServers().first()).toString();
}

void keepSeedLinkServer(const QString& server) {
    QSettings().setValue(seedLinkServerKey, server);
}

QString seedLinkServerInForce(const QString& chosen) {
    const QString replacement = qEnvironmentVariable(seedLinkServerVariable).trimmed();
    return replacement.isEmpty() ? chosen : replacement;
}

const fdsnDataCentre* fdsnDataCentreOfSeedLinkServer(const QString& server) {
    const QStringView host = hostOf(server.trimmed());
    for (const fdsnDataCentre& centre : fdsnDataCentres()) {
        if (centre.seedLinkServer &&
            host.compare(hostOf(QString::fromLatin1(centre.seedLinkServer)), Qt::CaseInsensitive) ==
                0)
            return &centre;
    }
    return nullptr;
}

} // namespace serviceEndpoints
