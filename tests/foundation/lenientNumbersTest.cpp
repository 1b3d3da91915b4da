#include "lenientNumbers.h"

#include <QLocale>

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

TEST(LenientNumbers, ReadTheNumberAtTheStartOfAText) {
    EXPECT_EQ(leadingInt(u"10"), 10);
    EXPECT_EQ(leadingInt(u"  -7 km"), -7);
    EXPECT_EQ(leadingInt(u"12abc"), 12);
    EXPECT_EQ(leadingInt(u"+3"), 3);
    EXPECT_EQ(leadingInt(u"abc"), 0);
    EXPECT_EQ(leadingInt(u""), 0);
    EXPECT_EQ(leadingInt(u"4.9"), 4);
    EXPECT_EQ(leadingInt(u"99999999999"), std::numeric_limits<int>::max());
    EXPECT_EQ(leadingInt(u"-99999999999"), std::numeric_limits<int>::min());

    EXPECT_DOUBLE_EQ(leadingDouble(u"-71.123456"), -71.123456);
    EXPECT_DOUBLE_EQ(leadingDouble(u" 1.5e3,next"), 1500.0);
    EXPECT_DOUBLE_EQ(leadingDouble(u".5"), 0.5);
    EXPECT_DOUBLE_EQ(leadingDouble(u"2."), 2.0);
    EXPECT_DOUBLE_EQ(leadingDouble(u"ML:2.3"), 0.0);
    EXPECT_FLOAT_EQ(leadingFloat(u"5.4 mb"), 5.4f);
}

TEST(LenientNumbers, DecimalPointIsAlwaysAFullStop) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_DOUBLE_EQ(leadingDouble(u"3,25"), 3.0);
    EXPECT_DOUBLE_EQ(leadingDouble(u"3.25"), 3.25);
    QLocale::setDefault(saved);
}

TEST(LenientNumbers, TruncationToIntIsSafeForAnyReal) {
    EXPECT_EQ(truncatedToInt(12.9), 12);
    EXPECT_EQ(truncatedToInt(-12.9), -12);
    EXPECT_EQ(truncatedToInt(std::nan("")), 0);
    EXPECT_EQ(truncatedToInt(1e20), std::numeric_limits<int>::max());
    EXPECT_EQ(truncatedToInt(-1e20), std::numeric_limits<int>::min());
}
