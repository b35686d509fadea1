#include "hosts/headless/headless_platform.h"

#include <gtest/gtest.h>

#include <tuple>

namespace qv {
namespace {

// Virtual time: only sleeps move the clock, and timers fire by it.
TEST(HeadlessPlatform, TimersFireOnceTheirIntervalHasPassedInVirtualTime) {
  HeadlessPlatform platform(64, 64, {}, nullptr);
  platform.sleepMilliseconds(500);
  EXPECT_EQ(platform.clockTicks(), 50000u);
  EXPECT_EQ(platform.startTimer(0, 10000), 1000);
  platform.sleepMilliseconds(9999);
  EXPECT_FALSE(platform.timerFired(0));
  platform.sleepMilliseconds(1);
  EXPECT_EQ(std::tuple(platform.timerFired(0), platform.timerFired(1)), std::tuple(true, false));
  // The flag stays set after a stop; a second stop reports nothing stopped.
  // (Braces: the calls are made in order.)
  EXPECT_EQ((std::tuple{platform.stopTimer(0), platform.stopTimer(0), platform.timerFired(0)}),
            std::tuple(1, 0, true));
  platform.startTimer(2, 100);
  platform.stopTimer(2);
  platform.advanceClock(100000);
  EXPECT_FALSE(platform.timerFired(2));
}

}  // namespace
}  // namespace qv
