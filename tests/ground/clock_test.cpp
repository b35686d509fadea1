#include "ground/clock.h"

#include <gtest/gtest.h>

#include <vector>

#include "ground/runtime_error.h"
#include "support/test_platform.h"

namespace qv {
namespace {

// One frame whose work takes `workTicks`, then paced to 25 frames a second.
void runFrame(testing::TestPlatform& platform, FrameClock& clock, std::uint64_t workTicks) {
  clock.beginFrameTiming();
  platform.ticks += workTicks;
  clock.endFrameTiming();
  clock.paceFrame(25);
}

TEST(FrameClock, LapIsTheTicksSinceTheMarkAndZeroWhenTheClockStandsOrWraps) {
  testing::TestPlatform platform;
  FrameClock clock(platform);
  platform.ticks = 5000;
  clock.markClock(3);
  platform.ticks = 5123;
  clock.lapClock(3);
  EXPECT_EQ(clock.slotValue(3), 123);
  clock.markClock(3);
  clock.lapClock(3);
  EXPECT_EQ(clock.slotValue(3), 0);
  platform.ticks = 429496729500ULL - 300;  // the millisecond counter wraps
  clock.markClock(1);
  platform.ticks = 200;
  clock.lapClock(1);
  EXPECT_EQ(clock.slotValue(1), 0);
}

TEST(FrameClock, PacingSleepsTheRestOfTheFrameToTheNearestMillisecond) {
  testing::TestPlatform platform;
  FrameClock clock(platform);
  clock.initFrameRateMeter(10);
  // 12 ms of work, one whole period, more than one, 51 and 49 ticks left,
  // no work at all.
  for (std::uint64_t work : {1200, 4000, 6500, 3949, 3951, 0}) runFrame(platform, clock, work);
  EXPECT_EQ(platform.sleeps, (std::vector<std::uint32_t>{28, 1, 0, 40}));
}

TEST(FrameClock, MeterAveragesTheWorkingTimeOfAFullWindow) {
  testing::TestPlatform platform;
  FrameClock clock(platform);
  clock.initFrameRateMeter(10);
  for (int i = 0; i < 9; ++i) runFrame(platform, clock, 1000);
  EXPECT_EQ(clock.framesPerSecond(), 0);  // the window is not full yet
  // The sleeps are not working time: 10 ms a frame is 100 frames a second.
  runFrame(platform, clock, 1000);
  EXPECT_EQ(clock.framesPerSecond(), 100);
  // One slow frame replaces the oldest sample: 100000 / 1200.
  runFrame(platform, clock, 3000);
  EXPECT_EQ(clock.framesPerSecond(), 83);

  clock.initFrameRateMeter(4);  // starts over
  for (int i = 0; i < 3; ++i) runFrame(platform, clock, 700);
  EXPECT_EQ(clock.framesPerSecond(), 0);
  runFrame(platform, clock, 700);
  EXPECT_EQ(clock.framesPerSecond(), 142);

  // A window of frames too quick to measure reads as the clock rate.
  clock.initFrameRateMeter(2);
  for (int i = 0; i < 2; ++i) runFrame(platform, clock, 0);
  EXPECT_EQ(clock.framesPerSecond(), TICKS_PER_SECOND);
}

TEST(FrameClock, WindowOrSlotOutsideItsRingIsFatal) {
  testing::TestPlatform platform;
  FrameClock clock(platform);
  EXPECT_THROW(clock.initFrameRateMeter(0), RuntimeErrorStop);
  EXPECT_THROW(clock.initFrameRateMeter(MAX_SAMPLE_WINDOW + 1), RuntimeErrorStop);
  EXPECT_THROW(clock.markClock(CLOCK_SLOT_COUNT), RuntimeErrorStop);
  EXPECT_EQ(platform.errorsShown, std::vector<std::string>(3, std::string(errors::INDEX_OUT_OF_RANGE)));
  clock.initFrameRateMeter(MAX_SAMPLE_WINDOW);
  for (int i = 0; i < 2 * MAX_SAMPLE_WINDOW; ++i) runFrame(platform, clock, 2000);
  EXPECT_EQ(clock.framesPerSecond(), 50);
}

}  // namespace
}  // namespace qv
