#include "hosts/sdl/sdl_platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace qv::sdl {
namespace {

using std::chrono::milliseconds;

// The parts of the platform that need no display: timers and the size the
// frame follows. (Sleeps, stop requests and the frame boundary show in the
// Xvfb cases: keys, signals and closes end the program at once.)
struct SdlTimers {
  SdlTimers() { EXPECT_EQ(SDL_Init(SDL_INIT_TIMER), 0) << SDL_GetError(); }
  ~SdlTimers() { SDL_Quit(); }
};
class SdlPlatformTest : public ::testing::Test {
 protected:
  SdlTimers sdl;  // made before the platform, ended after it
  SdlPlatform platform{nullptr, nullptr};
};

TEST_F(SdlPlatformTest, TimersFireOnceStartedAndStayFired) {
  EXPECT_FALSE(platform.timerFired(0));
  EXPECT_EQ((std::tuple{platform.startTimer(0, 10), platform.startTimer(3, 60000)}), std::tuple(1000, 1003));
  for (int i = 0; i < 400 && !platform.timerFired(0); ++i) std::this_thread::sleep_for(milliseconds(5));
  EXPECT_EQ(std::tuple(platform.timerFired(0), platform.timerFired(3)), std::tuple(true, false));
  EXPECT_EQ((std::tuple{platform.stopTimer(0), platform.stopTimer(0), platform.timerFired(0),
                        platform.stopTimer(3)}),
            std::tuple(1, 0, true, 1));
  // Numbers outside the table are refused, not written past it.
  EXPECT_EQ((std::tuple{platform.startTimer(SDL_TIMER_COUNT, 10), platform.startTimer(-1, 10),
                        platform.timerFired(-1)}),
            std::tuple(0, 0, false));
}

TEST_F(SdlPlatformTest, ASizeChangeIsTakenOnceAndAPresentWithoutAWindowDoesNothing) {
  int w = 0;
  int h = 0;
  platform.setScreenSize(640, 480);
  EXPECT_TRUE(platform.takeResize(w, h));
  EXPECT_EQ(std::tuple(w, h, platform.screenWidth(), platform.screenHeight()),
            std::tuple(640, 480, 640, 480));
  EXPECT_FALSE(platform.takeResize(w, h));
  platform.setScreenSize(640, 480);  // the same size again is no change
  EXPECT_FALSE(platform.takeResize(w, h));
  std::uint32_t pixels[4] = {};
  platform.present(FrameView{pixels, 2, 2, 2, true}, 0, 0, 2, 2);
  EXPECT_EQ(platform.presentCount(), 0);
}

}  // namespace
}  // namespace qv::sdl
