#pragma once

// Qt's QTRY_ macros end in QVERIFY, QCOMPARE or QFAIL, which report to a QtTest run and then
// return: inside a GoogleTest test they would end it quietly, as though it had passed. Included
// instead of <QTest>, they fail the GoogleTest test with the condition that did not come true.

#include <QTest>

#include <gtest/gtest.h>

#undef QVERIFY
#define QVERIFY(statement) ASSERT_TRUE(statement) << #statement
#undef QCOMPARE
#define QCOMPARE(actual, expected) ASSERT_EQ(actual, expected)
#undef QFAIL
#define QFAIL(message) FAIL() << (message)
