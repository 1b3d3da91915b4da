#include "serviceEndpoints.h"
#include "timeZones.h"

#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

// Every test program runs inside a QApplication (the table and view tests need widgets) with
// UTC as the default zone, as the program has after start-up, and with no way out to the
// internet.
int main(int argc, char** argv) {
    timeZones::makeUTCTheDefault();
    // No test reaches the internet: every service address leads to a closed loopback port
    // unless a test points it at its own fixture server.
    for (auto service = serviceEndpoints::begin(); service != serviceEndpoints::end(); ++service) {
        if (!qEnvironmentVariableIsSet(service->environmentVariable))
            qputenv(service->environmentVariable, "http://127.0.0.1:9");
    }
    if (!qEnvironmentVariableIsSet(serviceEndpoints::seedLinkServerVariable))
        qputenv(serviceEndpoints::seedLinkServerVariable, "127.0.0.1:9");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
