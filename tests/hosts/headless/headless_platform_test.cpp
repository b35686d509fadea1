#include "hosts/headless/headless_platform.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

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

// The window is the frame top row first, clipped to it. With presents off,
// a whole-frame present is only remembered and copied on request; a partial
// one is copied at once, after the remembered one.
TEST(HeadlessPlatform, PresentsReachTheWindowTopRowFirstOrWhenAsked) {
  HeadlessPlatform platform(64, 64, {}, nullptr);
  constexpr int W = 4, H = 3, STRIDE = 6;  // stored bottom-up, a stride wider than the frame
  std::vector<std::uint32_t> stored(STRIDE * H, 0xDEADBEEF);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) stored[(H - 1 - y) * STRIDE + x] = 0xFF000000u | (x * 40u) << 16 | y * 70u;
  const FrameView view{stored.data(), W, H, STRIDE, true};
  platform.present(view, 1, 1, 2, 5);  // runs off the bottom
  const RgbImage& win = platform.window();
  ASSERT_EQ(std::tuple(win.width, win.height, platform.presentCount()), std::tuple(W, H, 1));
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      const bool inside = x >= 1 && x <= 2 && y >= 1;
      EXPECT_EQ(std::tuple(win.at(x, y)[0], win.at(x, y)[2]),
                std::tuple(inside ? x * 40 : 0, inside ? y * 70 : 0));
    }
  }

  platform.setKeepPresents(false);
  std::fill(stored.begin(), stored.end(), 0xFF405060u);
  platform.present(view, 0, 0, W, H);
  EXPECT_EQ(std::tuple(platform.presentCount(), win.at(2, 2)[0]), std::tuple(2, 80));  // not copied yet
  platform.copySkippedPresent();
  EXPECT_EQ(std::tuple(win.at(0, 0)[0], win.at(3, 2)[2]), std::tuple(0x40, 0x60));
  std::fill(stored.begin(), stored.end(), 0xFF708090u);
  platform.present(view, 0, 0, W, H);
  platform.present(view, 1, 0, 1, H);  // the whole frame first, then the column
  EXPECT_EQ(std::tuple(win.at(0, 0)[0], win.at(1, 1)[1]), std::tuple(0x70, 0x80));
}

}  // namespace
}  // namespace qv
