#pragma once

#include "OrrelinController.h"

#include "qtTestInGoogleTest.h"

#include <gtest/gtest.h>

// Loads run on the loader's worker, and their outcome arrives as the event loop turns: the test
// waits for it as the window would (a stalled download ends at its time-out, well before this
// bound).
inline void finishLoads(OrrelinController& c) {
    ASSERT_TRUE(QTest::qWaitFor([&c] { return !c.isLoading(); }, 60000));
}
