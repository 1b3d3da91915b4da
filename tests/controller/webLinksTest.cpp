#include "webLinks.h"
#include "qtPrinters.h"
#include "scopedEnvironment.h"
#include "seismicOrigin.h"

#include <gtest/gtest.h>

namespace {

seismicOrigin originAt(float lat, float lon) {
    seismicOrigin o;
    o.setLatitude(lat);
    o.setLongitude(lon);
    o.setEventID(QStringLiteral("us7000abcd"));
    o.setOriginDateTime(QDateTime(QDate(2011, 3, 11), QTime(5, 46, 24), QTimeZone::utc()));
    return o;
}

TEST(WebLinks, SelectedEventPagesCarryTheExactQueries) {
    scopedEnvironment events("QUORVEL_USGS_EVENT_PAGE_URL", QStringLiteral("https://events.test"));
    scopedEnvironment maps("QUORVEL_MAPS_URL", QStringLiteral("https://maps.test"));
    scopedEnvironment cmt("QUORVEL_CMT_URL", QStringLiteral("https://cmt.test/"));
    const seismicOrigin o = originAt(10.5f, -20.0f);

    EXPECT_EQ(webLinks::eventPage(o).toString(),
              QStringLiteral("https://events.test/earthquakes/eventpage/us7000abcd#summary"));
    EXPECT_EQ(webLinks::mapOfOrigin(o).toString(),
              QStringLiteral("https://maps.test/maps?ll=10.500,-20.000&q=10.500,-20.000"
                             "&spn=15,15&t=k&hl=en"));
    // ±4° around the epicentre, on the origin's day (taken from the origin time, which is all
    // the catalogues fill in).
    EXPECT_EQ(webLinks::cmtSearch(o).toString().toStdString(),
              QStringLiteral("https://cmt.test/cgi-bin/CMT2/form?itype=ymd&yr=2011&mo=03&day=11"
                             "&oyr=1976&omo=1&oday=1&jyr=1976&jday=1&ojyr=1976"
                             "&ojday=1&otype=nd&nday=1&lmw=0&umw=10&lms=0&ums=10&lmb=0"
                             "&umb=10&llat=6.50&ulat=14.50&llon=-24.00&ulon=-16.00&lhd=0&uhd=1000"
                             "&lts=-9999&uts=9999&lpe1=0&upe1=90&lpe2=0&upe2=90&list=0")
                  .toStdString());
    seismicOrigin withFields = o;
    withFields.setYear(2010);
    withFields.setMonth(2);
    withFields.setDay(27);
    EXPECT_TRUE(webLinks::cmtSearch(withFields)
                    .toString()
                    .contains(QStringLiteral("yr=2010&mo=02&day=27&")));
}

TEST(WebLinks, NewsSearchKeepsTheDistinctiveWordsOfTheRegion) {
    scopedEnvironment news("QUORVEL_NEWS_URL", QStringLiteral("https://news.test"));
    // SOUTH and then ERN go, the comma becomes a blank; the empty pieces stay.
    EXPECT_EQ(webLinks::newsSearchTerms(QStringLiteral("SOUTHERN XINJIANG, CHINA")),
              QStringLiteral("++XINJIANG++CHINA"));
    seismicOrigin o = originAt(39, 77);
    o.setShortFlinnEngdahlString(QStringLiteral("SOUTHERN XINJIANG, CHINA"));
    EXPECT_EQ(webLinks::newsSearch(o).toString(),
              QStringLiteral("https://news.test/news?hl=en&ned=us&q=earthquake++XINJIANG++CHINA"
                             "&btnG=Search+News"));
    // Case does not matter, and "United States" goes after the commas.
    EXPECT_EQ(webLinks::newsSearchTerms(QStringLiteral("Near Coast of Central Chile")),
              QStringLiteral("+Central+Chile"));
    EXPECT_EQ(webLinks::newsSearchTerms(QStringLiteral("NEVADA, United States")),
              QStringLiteral("+NEVADA++"));
}

TEST(WebLinks, TwitterSearchEncodesTheGeocodeQuery) {
    scopedEnvironment twitter("QUORVEL_TWITTER_URL", QStringLiteral("https://twitter.test"));
    const QString query = webLinks::twitterQuery(true, 35.5f, 139.7f, 100);
    EXPECT_EQ(query, QStringLiteral("earthquake geocode:35.50,139.70,100km"));
    EXPECT_EQ(webLinks::twitterSearch(query).toString(QUrl::FullyEncoded),
              QStringLiteral(
                  "https://twitter.test/search?q=earthquake%20geocode%3A35.50%2C139.70%2C100km"));
    EXPECT_EQ(webLinks::twitterQuery(false, 35.5f, 139.7f, 100), QStringLiteral("earthquake"));
}

TEST(WebLinks, ProductAndBulletinPages) {
    scopedEnvironment web("QUORVEL_WEB_URL", QStringLiteral("https://home.test"));
    scopedEnvironment ptwc("QUORVEL_PTWC_URL", QStringLiteral("https://ptwc.test"));
    EXPECT_EQ(webLinks::infoPage(QStringLiteral("Magnitude")).toString(),
              QStringLiteral("https://home.test/seismic-magnitudes/"));
    EXPECT_EQ(webLinks::infoPage(QStringLiteral("Intensity")).toString(),
              QStringLiteral("https://home.test/seismic-intensity/"));
    EXPECT_EQ(webLinks::infoPage(QStringLiteral("Moment")).toString(),
              QStringLiteral("https://home.test/seismic-moment/"));
    EXPECT_EQ(webLinks::infoPage(QStringLiteral("Other")).toString(),
              QStringLiteral("https://home.test/"));
    EXPECT_EQ(webLinks::ptwcPage().toString(), QStringLiteral("https://ptwc.test/ptwc/"));
}

} // namespace
