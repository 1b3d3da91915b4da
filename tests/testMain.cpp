#include "timeZones.h"

#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

// Every test program runs inside a QApplication (the table and view tests need widgets) with
// UTC as the default zone, as the program has after start-up.
int main(int argc, char** argv)
{
    timeZones::makeUTCTheDefault();
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
