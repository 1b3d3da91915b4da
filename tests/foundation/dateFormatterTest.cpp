#include "QVRDateComponents.h"
#include "QVRDateFormatter.h"
#include "timeZones.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

QDateTime utcTime(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), QTimeZone::utc());
}

QString format(const char* pattern, const QDateTime& t, const QTimeZone& zone = QTimeZone::utc()) {
    return QVRDateFormatter(QString::fromUtf8(pattern), zone).stringFromDate(t);
}

QDateTime parse(const char* pattern, const char* text, const QTimeZone& zone = QTimeZone::utc()) {
    return QVRDateFormatter(QString::fromUtf8(pattern), zone)
        .dateFromString(QString::fromUtf8(text));
}

} // namespace

TEST(DateFormatter, FormatsThePatternsTheCataloguesAndTextsUse) {
    const QDateTime t = utcTime(2012, 5, 29, 7, 0, 3, 456);
    EXPECT_EQ(format("yyyy'-'MM'-'dd'T'HH':'mm':'ss.SSS'Z'", t), "2012-05-29T07:00:03.456Z");
    EXPECT_EQ(format("yyyy'-'MM'-'dd'T'HH':'mm':'ss", t), "2012-05-29T07:00:03");
    EXPECT_EQ(format("yyyy/MM/dd HH:mm:ss", t), "2012/05/29 07:00:03");
    EXPECT_EQ(format("yyyy-MM-dd HH:mm:ss", t), "2012-05-29 07:00:03");
    EXPECT_EQ(format("EEEE, MMMM dd 'at' HH:mm", t), "Tuesday, May 29 at 07:00");
    EXPECT_EQ(format("HH:mm:ss zzz EEE, d MMM", t), "07:00:03 UTC Tue, 29 May");
    EXPECT_EQ(format("HH:mm", t), "07:00");
    EXPECT_EQ(format("MMM-dd", t), "May-29");
    EXPECT_EQ(format("dd MMM, yyyy", t), "29 May, 2012");
    EXPECT_EQ(format("HH':'mm':'ss 'UTC'", t), "07:00:03 UTC");
    EXPECT_EQ(format("h 'o''clock' a, ''yy", t), "7 o'clock AM, '12");
    EXPECT_EQ(format("D w S SS", t), "150 22 4 45");
    EXPECT_EQ(QVRDateFormatter::standardDescription(t), "2012-05-29 07:00:03 +0000");
    EXPECT_EQ(QVRDateFormatter::standardDescription(QDateTime()), "(null)");
    EXPECT_EQ(format("yyyy", QDateTime()), "");
}

TEST(DateFormatter, ZoneFieldsFollowTheFormattersZone) {
    const QDateTime t = utcTime(2012, 5, 29, 7, 0, 3);
    const QTimeZone rome("Europe/Rome");
    ASSERT_TRUE(rome.isValid());
    EXPECT_EQ(format("HH:mm:ss zzz EEE, d MMM", t, rome), "09:00:03 CEST Tue, 29 May");
    EXPECT_EQ(format("Z|ZZZZ|ZZZZZ|XXX|xx|O", t, rome),
              "+0200|GMT+02:00|+02:00|+02:00|+0200|GMT+2");
    EXPECT_EQ(format("Z|ZZZZ|ZZZZZ|X|O", t), "+0000|GMT|Z|Z|GMT");
    const QTimeZone kolkata("Asia/Kolkata");
    EXPECT_EQ(format("ZZZZZ O", t, kolkata), "+05:30 GMT+5:30");
}

TEST(DateFormatter, WeekBasedYearDiffersFromTheCalendarYearAtTheYearsEnd) {
    // Weeks start on Sunday and week 1 holds 1 January, so Tuesday 2026-12-29 is in 2027's
    // first week, while the calendar year stays 2026.
    const QDateTime t = utcTime(2026, 12, 29, 10, 5, 0);
    EXPECT_EQ(format("EEEE, MMMM dd, YYYY, 'at' HH:mm", t), "Tuesday, December 29, 2027, at 10:05");
    EXPECT_EQ(format("EEEE, MMMM dd, yyyy, 'at' HH:mm", t), "Tuesday, December 29, 2026, at 10:05");
    EXPECT_EQ(format("YYYY w", utcTime(2026, 12, 26, 0, 0, 0)), "2026 52");
    EXPECT_EQ(format("YYYY w", utcTime(2027, 1, 2, 0, 0, 0)), "2027 1");
}

TEST(DateFormatter, NamesAreEnglishWhateverTheUsersLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QDateTime t = utcTime(2024, 3, 3, 18, 30, 0);
    EXPECT_EQ(format("EEEE d MMMM yyyy, EEE MMM", t), "Sunday 3 March 2024, Sun Mar");
    EXPECT_EQ(parse("d MMMM yyyy", "3 March 2024"), utcTime(2024, 3, 3, 0, 0, 0));
    QLocale::setDefault(saved);
}

TEST(DateFormatter, ParsesWholeTextsOnly) {
    EXPECT_EQ(parse("yyyy'-'MM'-'dd'T'HH':'mm':'ss.SSS'Z'", "2016-02-11T19:33:48.910Z"),
              utcTime(2016, 2, 11, 19, 33, 48, 910));
    EXPECT_EQ(parse("yyyy'-'MM'-'dd'T'HH':'mm':'ss.SSS", "2016-02-11T19:33:48.9"),
              utcTime(2016, 2, 11, 19, 33, 48, 900));
    EXPECT_EQ(parse("yyyy'-'MM'-'dd'T'HH':'mm':'ss", "2011-01-08T00:04:29"),
              utcTime(2011, 1, 8, 0, 4, 29));
    EXPECT_EQ(parse("yyyy/MM/dd HH:mm:ss", "2012/05/29 07:00:03"), utcTime(2012, 5, 29, 7, 0, 3));
    EXPECT_EQ(parse("dd MMM, yyyy", "29 may, 2012"), utcTime(2012, 5, 29, 0, 0, 0));
    EXPECT_EQ(parse("EEEE, MMMM dd 'at' HH:mm", "Tuesday, May 29 at 07:00"),
              utcTime(1970, 5, 29, 7, 0, 0));
    EXPECT_EQ(parse("yyyyMMddHHmmss", "20120529070003"), utcTime(2012, 5, 29, 7, 0, 3));
    EXPECT_EQ(parse("h:mm a", "12:15 AM"), utcTime(1970, 1, 1, 0, 15, 0));
    EXPECT_EQ(parse("h:mm a", "12:15 PM"), utcTime(1970, 1, 1, 12, 15, 0));
    // Fractions finer than milliseconds are truncated.
    EXPECT_EQ(parse("ss.SSS", "58.770999"), utcTime(1970, 1, 1, 0, 0, 58, 770));

    // Trailing text, missing text, a wrong literal, impossible days and times.
    EXPECT_FALSE(parse("yyyy'-'MM'-'dd'T'HH':'mm':'ss", "2012-05-29T23:58:58.770000").isValid());
    EXPECT_FALSE(parse("yyyy'-'MM'-'dd'T'HH':'mm':'ss", "2012-05-29T23:58").isValid());
    EXPECT_FALSE(parse("yyyy/MM/dd", "2012-05-29").isValid());
    EXPECT_FALSE(parse("yyyy-MM-dd", "2013-02-29").isValid());
    EXPECT_FALSE(parse("yyyy-MM-dd", "2012-13-01").isValid());
    EXPECT_FALSE(parse("HH:mm", "24:00").isValid());
    EXPECT_FALSE(parse("HH:mm", "12:60").isValid());
    EXPECT_FALSE(parse("yyyy", "").isValid());
    EXPECT_FALSE(parse("MMM", "Mai").isValid());
}

TEST(DateFormatter, ParsesInTheFormattersZoneUnlessTheTextNamesAnOffset) {
    const QTimeZone rome("Europe/Rome");
    EXPECT_EQ(parse("yyyy-MM-dd HH:mm", "2012-05-29 09:00", rome), utcTime(2012, 5, 29, 7, 0, 0));
    EXPECT_EQ(parse("yyyy-MM-dd HH:mmXXX", "2012-05-29 09:00+02:00"),
              utcTime(2012, 5, 29, 7, 0, 0));
    EXPECT_EQ(parse("yyyy-MM-dd HH:mm Z", "2012-05-29 02:00 -0500"), utcTime(2012, 5, 29, 7, 0, 0));
    EXPECT_EQ(parse("yyyy-MM-dd HH:mm zzz", "2012-05-29 07:00 UTC", rome),
              utcTime(2012, 5, 29, 7, 0, 0));
    EXPECT_EQ(parse("yyyy-MM-dd'T'HH:mmX", "2012-05-29T07:00Z", rome),
              utcTime(2012, 5, 29, 7, 0, 0));
}

TEST(DateFormatter, WhatItWritesItReadsBack) {
    const char* patterns[] = {"yyyy'-'MM'-'dd'T'HH':'mm':'ss.SSS'Z'", "yyyy-MM-dd HH:mm:ss.SSS Z",
                              "EEEE, MMMM dd, yyyy, 'at' HH:mm:ss.SSS",
                              "dd MMM yyyy hh:mm:ss.SSS a", "yyyy D HH mm ss SSS"};
    const QDateTime samples[] = {utcTime(1999, 12, 31, 23, 59, 59, 999),
                                 utcTime(2000, 2, 29, 0, 0, 0, 1), utcTime(2026, 12, 29, 12, 0, 0),
                                 utcTime(1970, 1, 1, 0, 0, 0)};
    for (const char* pattern : patterns) {
        const QVRDateFormatter f(QString::fromUtf8(pattern), QTimeZone::utc());
        for (const QDateTime& t : samples)
            EXPECT_EQ(f.dateFromString(f.stringFromDate(t)), t)
                << pattern << " " << qPrintable(t.toString(Qt::ISODateWithMs));
    }
}

TEST(DateFormatter, DefaultZoneIsUTCAfterStartUp) {
    // The test main, like the program, makes UTC the default.
    EXPECT_EQ(timeZones::defaultTimeZone(), QTimeZone::utc());
    EXPECT_EQ(QVRDateFormatter().timeZone(), QTimeZone::utc());
    EXPECT_EQ(
        QVRDateFormatter(QStringLiteral("HH zzz")).stringFromDate(utcTime(2020, 1, 1, 5, 0, 0)),
        "05 UTC");
}

TEST(DateComponents, FieldsGiveTheTimeTheyNameAndCarryPastTheirRange) {
    QVRDateComponents c;
    c.year = 2011;
    c.month = 3;
    c.day = 11;
    c.hour = 5;
    c.minute = 46;
    c.second = 46;
    c.nanosecond = 810000000;
    EXPECT_EQ(c.dateInTimeZone(QTimeZone::utc()),
              QDateTime(QDate(2011, 3, 11), QTime(5, 46, 46, 810), QTimeZone::utc()));
    // 90 minutes past 23:00 on the last day of the year is 00:30 of the next year.
    c.month = 12;
    c.day = 31;
    c.hour = 23;
    c.minute = 90;
    c.second = 0;
    c.nanosecond = 0;
    EXPECT_EQ(c.dateInTimeZone(QTimeZone::utc()),
              QDateTime(QDate(2012, 1, 1), QTime(0, 30), QTimeZone::utc()));
}
