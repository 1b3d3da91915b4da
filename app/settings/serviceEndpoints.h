#pragma once

#include <QString>

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
    fdsnEvents,     // FDSN event web service
    ingvEvents,     // INGV event list pages
    emsc,           // EMSC earthquake list
    pdeSearch,      // NEIC search form for the PDE catalogue
    quorvelWeb,     // Quorvel's own web site
    googleMaps,     // map pages
    googleNews,     // news search
    cmtCatalog,     // the centroid moment tensor catalogue's search form
    twitterSearch,  // Twitter web search
    timeSeries,     // waveform (time-series) web service
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

} // namespace serviceEndpoints
