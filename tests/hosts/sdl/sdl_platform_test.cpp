#include "hosts/sdl/sdl_platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace qv::sdl {
namespace {

// The parts of the platform that need no display: clock, sleeps, timers and
// the size the frame follows.
class SdlPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(SDL_Init(SDL_INIT_TIMER), 0) << SDL_GetError(); }
  void TearDown() override { SDL_Quit(); }
};

struct BoundaryCount {
  int calls = 0;
  void at() { ++calls; }
};

TEST_F(SdlPlatformTest, ClockCountsTensOfMicroseconds) {
  SdlPlatform platform(nullptr, nullptr);
  const std::uint64_t before = platform.clockTicks();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const std::uint64_t elapsed = platform.clockTicks() - before;
  EXPECT_GE(elapsed, 3000u);
  EXPECT_LT(elapsed, 3000u + 100000u);  // well under a second more
}

TEST_F(SdlPlatformTest, SleepsEndAtOnceAfterAStopRequestAndReachTheFrameBoundary) {
  SdlPlatform platform(nullptr, nullptr);
  BoundaryCount boundary;
  platform.setFrameBoundaryHook(Hook::member<&BoundaryCount::at>(&boundary));
  platform.sleepMilliseconds(1);
  EXPECT_EQ(boundary.calls, 1);

  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    platform.requestStop();
  });
  const auto start = std::chrono::steady_clock::now();
  platform.sleepMilliseconds(5000);
  const auto took = std::chrono::steady_clock::now() - start;
  stopper.join();
  EXPECT_LT(took, std::chrono::milliseconds(2000));
  EXPECT_TRUE(platform.stopRequested());
  EXPECT_EQ(boundary.calls, 2);
  // Later sleeps do not wait at all.
  const auto again = std::chrono::steady_clock::now();
  platform.sleepMilliseconds(5000);
  EXPECT_LT(std::chrono::steady_clock::now() - again, std::chrono::milliseconds(2000));
}

TEST_F(SdlPlatformTest, TimersFireOnceStartedAndStayFired) {
  SdlPlatform platform(nullptr, nullptr);
  EXPECT_FALSE(platform.timerFired(0));
  EXPECT_EQ(platform.startTimer(0, 10), 1000);
  EXPECT_EQ(platform.startTimer(3, 60000), 1003);
  for (int i = 0; i < 200 && !platform.timerFired(0); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_TRUE(platform.timerFired(0));
  EXPECT_FALSE(platform.timerFired(3));
  EXPECT_EQ(platform.stopTimer(0), 1);
  EXPECT_EQ(platform.stopTimer(0), 0);  // not running any more
  EXPECT_TRUE(platform.timerFired(0));
  EXPECT_EQ(platform.stopTimer(3), 1);
  // Numbers outside the table are refused, not written past it.
  EXPECT_EQ(platform.startTimer(SDL_TIMER_COUNT, 10), 0);
  EXPECT_EQ(platform.startTimer(-1, 10), 0);
  EXPECT_FALSE(platform.timerFired(-1));
}

TEST_F(SdlPlatformTest, ASizeChangeIsTakenOnce) {
  SdlPlatform platform(nullptr, nullptr);
  int w = 0;
  int h = 0;
  platform.setScreenSize(640, 480);
  EXPECT_TRUE(platform.takeResize(w, h));
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  EXPECT_FALSE(platform.takeResize(w, h));
  platform.setScreenSize(640, 480);  // the same size again is no change
  EXPECT_FALSE(platform.takeResize(w, h));
  EXPECT_EQ(platform.screenWidth(), 640);
  EXPECT_EQ(platform.screenHeight(), 480);
}

TEST_F(SdlPlatformTest, PresentWithoutAWindowDoesNothing) {
  SdlPlatform platform(nullptr, nullptr);
  std::uint32_t pixels[4] = {};
  FrameView view{pixels, 2, 2, 2, true};
  platform.present(view, 0, 0, 2, 2);
  EXPECT_EQ(platform.presentCount(), 0);
}

}  // namespace
}  // namespace qv::sdl
