#include "hosts/sdl/sdl_platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace qv::sdl {
namespace {

// The platform's timers, which need no display. (Sleeps, stop requests, the
// frame boundary and resizes show in the Xvfb cases: keys, signals and
// closes end the program at once, a grown window is drawn to its edge.)
TEST(SdlPlatform, TimersFireOnceStartedAndStayFired) {
  ASSERT_EQ(SDL_Init(SDL_INIT_TIMER), 0) << SDL_GetError();
  {
    SdlPlatform platform{nullptr, nullptr};  // made after SDL's start, ended before its end
    EXPECT_FALSE(platform.timerFired(0));
    EXPECT_EQ((std::tuple{platform.startTimer(0, 10), platform.startTimer(3, 60000)}),
              std::tuple(1000, 1003));
    for (int i = 0; i < 400 && !platform.timerFired(0); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(std::tuple(platform.timerFired(0), platform.timerFired(3)), std::tuple(true, false));
    EXPECT_EQ((std::tuple{platform.stopTimer(0), platform.stopTimer(0), platform.timerFired(0),
                          platform.stopTimer(3)}),
              std::tuple(1, 0, true, 1));
    // Numbers outside the table are refused, not written past it.
    EXPECT_EQ((std::tuple{platform.startTimer(SDL_TIMER_COUNT, 10), platform.startTimer(-1, 10),
                          platform.timerFired(-1)}),
              std::tuple(0, 0, false));
  }
  SDL_Quit();
}

}  // namespace
}  // namespace qv::sdl
