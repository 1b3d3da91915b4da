#pragma once

#include "seismicOrigin.h"

#include <QString>
#include <QUrl>

// The web pages the application opens: those of a selected origin (event page, map, news,
// moment tensor search), the product pages, the tsunami centres and the Twitter search. The
// hosts are settings; the paths and queries are fixed here.
namespace webLinks {

QUrl eventPage(const seismicOrigin& origin);
QUrl mapOfOrigin(const seismicOrigin& origin);
// The region's distinctive words joined by "+": directions, "near", "coast", "of" and "United
// States" are dropped ("SOUTHERN XINJIANG, CHINA" gives "+" "+XINJIANG" "+" "+CHINA").
QString newsSearchTerms(const QString& region);
QUrl newsSearch(const seismicOrigin& origin);
// The catalogue's search form for the origin's day, ±4° around its epicentre.
QUrl cmtSearch(const seismicOrigin& origin);

QUrl webHome();
// "Magnitude", "Intensity" or "Moment" pick their page; any other title the site's root.
QUrl infoPage(const QString& title);
QUrl wcatwcPage();
QUrl ptwcPage();

// "earthquake", or with a geographic filter "earthquake geocode:LAT,LON,Dkm".
QString twitterQuery(bool geoFilter, float latitude, float longitude, float radiusKm);
QUrl twitterSearch(const QString& query);

} // namespace webLinks
