#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Base addresses of the outside services Quorvel talks to. Each is a setting (group
// "services") with the real public address as its default, and an environment variable
// replaces it as a whole; the tests point them at a loopback server that way.
namespace serviceEndpoints {

enum class service {
    usgsFeeds,      // USGS real-time feeds (GeoJSON, CSV)
    usgsEventPages, // USGS event pages
    usgsNEIC,       // USGS NEIC bulletin pages
    noaaWCATWC,     // NOAA West Coast and Alaska Tsunami Warning Center
    noaaPTWC,       // NOAA Pacific Tsunami Warning Center
    fdsnEvents,     // replaces the FDSN search's chosen service; no address of its own
    ingvEvents,     // INGV event list pages
    emsc,           // EMSC earthquake list
    pdeSearch,      // NEIC search form for the PDE catalogue
    quorvelWeb,     // Quorvel's own web site
    googleMaps,     // map pages
    googleNews,     // news search
    cmtCatalog,     // the centroid moment tensor catalogue's search form
    twitterSearch,  // Twitter web search
    timeSeries,     // waveform (time-series) web service
    fdsnUSGS,       // the FDSN event services of the USGS,
    fdsnEMSC,       // the EMSC,
    fdsnINGV,       // the INGV,
    fdsnGFZ,        // the GFZ,
    fdsnISC,        // the ISC
    fdsnIRIS,       // and IRIS, which the FDSN search can ask
    fdsnDataIRIS,   // the FDSN data centres (dataselect and station) the Live Seismograms
    fdsnDataGEOFON, // window can ask
    fdsnDataORFEUS,
    fdsnDataINGV,
    fdsnDataRESIF,
    fdsnDataETHZ,
    fdsnDataNCEDC,
    fdsnDataSCEDC,
};

struct description {
    service which;
    const char* settingsKey;         // under "services/"
    const char* environmentVariable; // overrides the setting
    const char* defaultURL;
};

// Every service with its key, variable and default, for documentation and tests.
const description* begin();
const description* end();

// The base address in force, without a trailing "/".
QString baseURL(service which);

// An FDSN event service the search can ask, by the name the settings and the command line use.
struct fdsnEventService {
    const char* name;  // "usgs"
    const char* title; // "USGS", for the chooser
    service which;
};
// In the chooser's order.
const QList<fdsnEventService>& fdsnEventServices();
// The name the settings keep for an address the user types in.
inline constexpr const char* customFdsnEventService = "custom";
// The base address an FDSN search asks for `choice`: the address of a service named in
// fdsnEventServices, or `choice` itself when it is an http(s) address; null text for anything
// else. The fdsnEvents service, when set, replaces whatever is chosen.
QString fdsnEventServiceURL(const QString& choice);

// `typed` as a base address when it is an http(s) address with a host, without query, fragment
// or trailing "/"; null text for anything else.
QString typedServiceURL(const QString& typed);

// An FDSN data centre the seismogram windows can ask for waveforms and station metadata.
struct fdsnDataCentre {
    const char* name; // "iris", as the settings and the command line write it
    service which;
    // The centre's SeedLink server, "host:port", for live streams; null when it offers none.
    const char* seedLinkServer;
};
// In the chooser's order.
const QList<fdsnDataCentre>& fdsnDataCentres();
// The centre named `name`; none for another name.
const fdsnDataCentre* fdsnDataCentreNamed(const QString& name);

// The SeedLink server a live stream connects to when the Live Seismograms window's source is a
// SeedLink server, "host:port", kept as the setting "seedlinkServer" of the group "services".
// It is no base address, so it stands apart from the table above; the environment variable
// replaces whichever server a stream would connect to, the data centres' own included.
inline constexpr const char* seedLinkServerVariable = "QUORVEL_SEEDLINK_SERVER";
// The servers the window offers: those of the data centres that stream, the first the default.
QStringList offeredSeedLinkServers();
// The kept choice (without the environment's override), or the default.
QString keptSeedLinkServer();
void keepSeedLinkServer(const QString& server);
// The server a stream for `chosen` connects to: the environment's override when it is set.
QString seedLinkServerInForce(const QString& chosen);
// The data centre run by the operator of `server` ("host:port"; the host decides), which
// keeps what the server no longer holds; none when no centre is known for it.
const fdsnDataCentre* fdsnDataCentreOfSeedLinkServer(const QString& server);

} // namespace serviceEndpoints
