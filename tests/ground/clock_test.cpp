#include "ground/clock.h"

#include <gtest/gtest.h>

#include <tuple>

#include "ground/runtime_error.h"
#include "support/test_platform.h"

namespace qv {
namespace {

// Runs one frame whose work takes `workTicks` and that is then paced to 25.
void runFrame(testing::TestPlatform& platform, FrameClock& clock, std::uint64_t workTicks) {
  clock.beginFrameTiming();
  platform.ticks += workTicks;
  clock.endFrameTiming();
  clock.paceFrame(25);
}

TEST(FrameClock, LapMeasuresTicksSinceMarkAndZeroWhenClockStandsOrWraps) {
  testing::TestPlatform platform;
  FrameClock clock(platform);
  platform.ticks = 5000;
  clock.markClock(3);
  platform.ticks = 5123;
  clock.lapClock(3);
  EXPECT_EQ(clock.slotValue(3), 123);

  clock.markClock(3);
  clock.lapClock(3);  // no time has passed
  EXPECT_EQ(clock.slotValue(3), 0);

  // The millisecond counter wrapped between mark and lap.
  platform.ticks = 429496729500ULL - 300;
  clock.markClock(1);
  platform.ticks = 200;
  clock.lapClock(1);
  EXPECT_EQ(clock.slotValue(1), 0);
}

TEST(FrameClock, PacingSleepsAwayTheRestOfTheFrame) {
  testing::TestPlatform platform;
  FrameClock clock(platform);
  clock.initFrameRateMeter(10);

  runFrame(platform, clock, 1200);  // 12 ms of work
  ASSERT_EQ(platform.sleeps.size(), 1u);
  EXPECT_EQ(platform.sleeps[0], 28u);

  runFrame(platform, clock, 4000);  // exactly one period
  runFrame(platform, clock, 6500);  // longer than a period
  EXPECT_EQ(platform.sleeps.size(), 1u);

  runFrame(platform, clock, 3949);  // 51 ticks left round up to 1 ms
  runFrame(platform, clock, 3951);  // 49 ticks left round down to 0 ms
  ASSERT_EQ(platform.sleeps.size(), 3u);
  EXPECT_EQ(std::tuple(platform.sleeps[1], platform.sleeps[2]), std::tuple(1u, 0u));
}

TEST(FrameClock, SleepIsNotCountedAsWorkingTime) {
  testing::TestPlatform platform;
  FrameClock clock(platform);
  clock.initFrameRateMeter(10);
  for (int i = 0; i < 10; ++i) runFrame(platform, clock, 1000);
  // 10 ms of work a frame: the machine could run 100 frames a second even
  // though the paced rate is 25.
  EXPECT_EQ(clock.framesPerSecond(), 100);
  EXPECT_EQ(static_cast<std::uint32_t>(clock.meter().windowSum), 10000u);
}

TEST(FrameClock, MeterReportsOnlyOnceTheWindowIsFullThenSlides) {
  testing::TestPlatform platform;
  FrameClock clock(platform);
  clock.initFrameRateMeter(10);
  for (int i = 0; i < 9; ++i) {
    runFrame(platform, clock, 1000);
    EXPECT_EQ(clock.framesPerSecond(), 0) << "frame " << i;
  }
  runFrame(platform, clock, 1000);
  EXPECT_EQ(clock.framesPerSecond(), 100);
  EXPECT_EQ(clock.meter().writeIndex, 0);
  EXPECT_EQ(clock.meter().windowFilled, 1);

  // One slow frame replaces the oldest sample: (9 * 1000 + 3000) / 10 = 1200.
  runFrame(platform, clock, 3000);
  EXPECT_EQ(clock.framesPerSecond(), 83);  // 100000 / 1200 = 83.33
  EXPECT_EQ(clock.meter().samples[0], 3000);

  // Re-initialising starts over.
  clock.initFrameRateMeter(4);
  EXPECT_EQ(clock.framesPerSecond(), 0);
  for (int i = 0; i < 3; ++i) runFrame(platform, clock, 700);
  EXPECT_EQ(clock.framesPerSecond(), 0);
  runFrame(platform, clock, 700);
  EXPECT_EQ(clock.framesPerSecond(), 142);  // 100000 / 700 = 142.86
}

TEST(FrameClock, WindowOfInstantFramesGivesTheClockRate) {
  testing::TestPlatform platform;
  FrameClock clock(platform);
  clock.initFrameRateMeter(10);
  for (int i = 0; i < 10; ++i) runFrame(platform, clock, 0);
  EXPECT_EQ(clock.framesPerSecond(), 100000);
  // Frames that did not work at all sleep the whole period.
  EXPECT_EQ(platform.sleeps.back(), 40u);
}

TEST(FrameClock, WrappedClockGivesAZeroSample) {
  testing::TestPlatform platform;
  FrameClock clock(platform);
  clock.initFrameRateMeter(2);
  platform.ticks = 429496729500ULL - 100;
  clock.beginFrameTiming();
  platform.ticks = 900;
  clock.endFrameTiming();
  EXPECT_EQ(clock.meter().samples[0], 0);
  runFrame(platform, clock, 2000);
  // (0 + 2000) / 2 = 1000 ticks a frame.
  EXPECT_EQ(clock.framesPerSecond(), 100);
}

TEST(FrameClock, WindowOutsideTheRingIsRefused) {
  testing::TestPlatform platform;
  FrameClock clock(platform);
  EXPECT_THROW(clock.initFrameRateMeter(0), RuntimeErrorStop);
  EXPECT_THROW(clock.initFrameRateMeter(MAX_SAMPLE_WINDOW + 1), RuntimeErrorStop);
  EXPECT_THROW(clock.markClock(CLOCK_SLOT_COUNT), RuntimeErrorStop);
  ASSERT_EQ(platform.errorsShown.size(), 3u);
  EXPECT_EQ(platform.errorsShown[0], errors::INDEX_OUT_OF_RANGE);
  clock.initFrameRateMeter(MAX_SAMPLE_WINDOW);
  for (int i = 0; i < 2 * MAX_SAMPLE_WINDOW; ++i) runFrame(platform, clock, 2000);
  EXPECT_EQ(clock.framesPerSecond(), 50);
}

}  // namespace
}  // namespace qv
