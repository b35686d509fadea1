#include "hosts/headless/headless_platform.h"

#include <gtest/gtest.h>

#include <tuple>

#include <cstdio>
#include <string>
#include <vector>

#include "ground/clock.h"
#include "ground/runtime_error.h"

namespace qv {
namespace {

std::span<const EmbeddedResource> noResources() { return {}; }

TEST(HeadlessPlatform, WorkTakesNoTimeAndSleepAdvancesTheClock) {
  HeadlessPlatform platform(640, 480, noResources(), nullptr);
  EXPECT_EQ(platform.clockTicks(), 0u);
  EXPECT_EQ(platform.clockTicks(), 0u);
  platform.sleepMilliseconds(28);
  EXPECT_EQ(platform.clockTicks(), 2800u);

  // Paced frames of zero working time sleep the whole period each.
  FrameClock clock(platform);
  clock.initFrameRateMeter(10);
  for (int i = 0; i < 25; ++i) {
    clock.beginFrameTiming();
    clock.endFrameTiming();
    clock.paceFrame(25);
  }
  EXPECT_EQ(platform.clockTicks(), 2800u + 25u * 4000u);
  EXPECT_EQ(platform.screenWidth(), 640);
  EXPECT_EQ(platform.screenHeight(), 480);
}

TEST(HeadlessPlatform, TimerFiresOnceItsIntervalHasPassedInVirtualTime) {
  HeadlessPlatform platform(64, 64, noResources(), nullptr);
  platform.sleepMilliseconds(500);
  EXPECT_EQ(platform.startTimer(0, 10000), 1000);
  EXPECT_FALSE(platform.timerFired(0));
  platform.sleepMilliseconds(9999);
  EXPECT_FALSE(platform.timerFired(0));
  platform.sleepMilliseconds(1);
  EXPECT_TRUE(platform.timerFired(0));
  EXPECT_FALSE(platform.timerFired(1));

  // The flag stays set after a stop; a second stop reports nothing stopped.
  EXPECT_EQ(platform.stopTimer(0), 1);
  EXPECT_EQ(platform.stopTimer(0), 0);
  EXPECT_TRUE(platform.timerFired(0));

  // A stopped timer does not fire.
  platform.startTimer(2, 100);
  platform.stopTimer(2);
  platform.advanceClock(100000);
  EXPECT_FALSE(platform.timerFired(2));
}

TEST(HeadlessPlatform, RuntimeErrorIsPrintedAndRemembered) {
  std::FILE* sink = std::tmpfile();
  ASSERT_NE(sink, nullptr);
  HeadlessPlatform platform(64, 64, noResources(), sink);
  EXPECT_THROW(reportRuntimeError(platform, errors::NO_PARTICLES), RuntimeErrorStop);
  ASSERT_EQ(platform.errorsShown().size(), 1u);
  EXPECT_EQ(platform.errorsShown()[0], errors::NO_PARTICLES);
  std::rewind(sink);
  char line[200] = {};
  ASSERT_NE(std::fgets(line, sizeof line, sink), nullptr);
  EXPECT_EQ(std::string(line), "Process Runtime Error: PARTCACH: No Particles\n");
  std::fclose(sink);
}

TEST(HeadlessPlatform, PresentCopiesTheRectangleTopRowFirst) {
  HeadlessPlatform platform(64, 64, noResources(), nullptr);
  // A 4 x 3 frame stored bottom-up with a stride wider than the frame.
  constexpr int W = 4, H = 3, STRIDE = 6;
  std::vector<std::uint32_t> stored(STRIDE * H, 0xDEADBEEF);
  auto topRowPixel = [&](int x, int y) -> std::uint32_t& { return stored[(H - 1 - y) * STRIDE + x]; };
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) topRowPixel(x, y) = 0xFF000000u | (x * 40u) << 16 | (y * 70u) << 8 | 9u;
  FrameView view{stored.data(), W, H, STRIDE, true};

  platform.present(view, 1, 1, 2, 5);  // runs off the bottom: clipped
  const RgbImage& win = platform.window();
  ASSERT_EQ(win.width, W);
  ASSERT_EQ(win.height, H);
  EXPECT_EQ(platform.presentCount(), 1);
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      const bool inside = x >= 1 && x <= 2 && y >= 1;
      const std::uint8_t* p = win.at(x, y);
      EXPECT_EQ(p[0], inside ? x * 40 : 0) << x << "," << y;
      EXPECT_EQ(std::tuple(p[1], p[2]), std::tuple(inside ? y * 70 : 0, inside ? 9 : 0));
    }
  }
  platform.present(view, 0, 0, W, H);
  EXPECT_EQ(win.at(0, 0)[2], 9);
  EXPECT_EQ(win.at(3, 2)[0], 120);
}

// Presents switched off are counted and put off; the window catches up with
// the last whole-frame one on request, and a partial present is copied at
// once, after the one put off.
TEST(HeadlessPlatform, PresentsSwitchedOffAreCopiedOnlyOnRequest) {
  HeadlessPlatform platform(64, 64, noResources(), nullptr);
  constexpr int W = 3, H = 2;
  std::vector<std::uint32_t> stored(W * H, 0xFF102030u);
  FrameView view{stored.data(), W, H, W, false};
  platform.present(view, 0, 0, W, H);
  const RgbImage& win = platform.window();
  ASSERT_EQ(win.at(2, 1)[0], 0x10);

  platform.setKeepPresents(false);
  stored.assign(W * H, 0xFF405060u);
  platform.present(view, 0, 0, W, H);
  EXPECT_EQ(platform.presentCount(), 2);
  EXPECT_EQ(win.at(2, 1)[0], 0x10);  // not copied yet
  platform.copySkippedPresent();
  EXPECT_EQ(win.at(0, 0)[0], 0x40);
  EXPECT_EQ(win.at(2, 1)[2], 0x60);

  // Put off again, then a present of the middle column only: the whole
  // frame is copied first, the column on top of it.
  stored.assign(W * H, 0xFF708090u);
  platform.present(view, 0, 0, W, H);
  EXPECT_EQ(win.at(0, 0)[0], 0x40);
  platform.present(view, 1, 0, 1, H);
  EXPECT_EQ(win.at(0, 0)[0], 0x70);
  EXPECT_EQ(win.at(1, 1)[1], 0x80);
  // Nothing is left to copy: a change of the frame does not reach the window.
  stored.assign(W * H, 0xFF000000u);
  platform.copySkippedPresent();
  EXPECT_EQ(win.at(2, 0)[0], 0x70);
}

TEST(HeadlessPlatform, APutOffPresentGoesWithTheWindowWhenTheSizeChanges) {
  HeadlessPlatform platform(64, 64, noResources(), nullptr);
  platform.setKeepPresents(false);
  std::vector<std::uint32_t> small(2 * 2, 0xFFFFFFFFu);
  platform.present(FrameView{small.data(), 2, 2, 2, false}, 0, 0, 2, 2);
  std::vector<std::uint32_t> large(5 * 4, 0xFF0000FFu);
  // Part of the new frame only: the old frame put off must not be copied
  // into the new window first.
  platform.present(FrameView{large.data(), 5, 4, 5, false}, 1, 1, 2, 2);
  platform.copySkippedPresent();
  const RgbImage& win = platform.window();
  ASSERT_EQ(win.width, 5);
  ASSERT_EQ(win.height, 4);
  EXPECT_EQ(win.at(0, 0)[0], 0);
  EXPECT_EQ(win.at(0, 0)[2], 0);
  EXPECT_EQ(win.at(1, 1)[2], 0xFF);
  EXPECT_EQ(win.at(2, 2)[0], 0);
}

}  // namespace
}  // namespace qv
