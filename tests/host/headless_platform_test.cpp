#include "host/headless/headless_platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host/clock.h"
#include "host/runtime_error.h"

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
      EXPECT_EQ(p[1], inside ? y * 70 : 0);
      EXPECT_EQ(p[2], inside ? 9 : 0);
    }
  }
  platform.present(view, 0, 0, W, H);
  EXPECT_EQ(win.at(0, 0)[2], 9);
  EXPECT_EQ(win.at(3, 2)[0], 120);
}

}  // namespace
}  // namespace qv
