#include <gtest/gtest.h>

#include <cstdint>

#include "frame/pixel_ops.h"
#include "splat/coverage_mask.h"
#include "splat/kernel.h"
#include "splat/kernel_test_support.h"
#include "splat/kernels.h"

namespace qv {
namespace {

using testing::GuardedFrame;
using testing::splatAt;

// A disc splat of radius sizeQuarter (quarter pixels) as the set-up makes it.
SplatParams discAt(int cx, int cy, int sizeQuarter, int innerSize1 = 0, int innerSize2 = 0) {
  SplatParams p = splatAt(cx, cy, (sizeQuarter + 3) >> 2);
  p.sizeQuarter = sizeQuarter;
  p.innerSize1 = innerSize1;
  p.innerSize2 = innerSize2;
  p.brushColour = 0xFF4080C0;
  return p;
}

// The coverage the tables give radius v at distances (k, j), 0 beyond them.
int tableCoverage(const SplatParams& p, int v, int k, int j) {
  CoverageMask m;
  selectCoverageMask(m, p, v);
  return k < m.words && j < m.words ? coverageAt(m, k, j) : 0;
}

int distance(int a, int b) { return a < b ? b - a : a - b; }

TEST(DiscKernels, OnePixelDiscIgnoresCoverage) {
  // sizeQuarter 3 would read coverage 191; the one-pixel rule draws whole.
  const std::uint32_t P = 0x102030;
  struct Case {
    Kernel kernel;
    std::uint32_t expected;
  };
  for (const Case& c :
       {Case{DiscKernel0Inside, 0xFF4080C0u}, Case{DiscKernel2Inside, addSaturate(P, 0xFF4080C0)},
        Case{DiscKernel3Inside, subtractFloor(P, 0xFF4080C0)},
        Case{DiscKernel4Inside, multiplyChannels(P, 0xFF4080C0)}}) {
    GuardedFrame frame(16, 16, P);
    SplatParams p = discAt(7, 7, 3);
    frame.attach(p);
    c.kernel(p);
    EXPECT_EQ(frame.at(7, 7), c.expected);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        if (x != 7 || y != 7) {
          EXPECT_EQ(frame.at(x, y), P);
        }
    EXPECT_TRUE(frame.guardIntact());
  }
  // With opacity the one pixel is an opacity blend.
  GuardedFrame frame(16, 16, P);
  SplatParams p = discAt(7, 7, 4);
  frame.attach(p);
  p.alpha = 100;
  DiscKernel0Inside(p);
  EXPECT_EQ(frame.at(7, 7), lerpChannels(P, 0xFF4080C0, 100));
}

TEST(DiscKernels, AddedDiscOnBlackIsTheColourScaledByCoverage) {
  // Sizes 5 ... 8 read the 3 x 3 box from the table for s = 2, lane size - 5;
  // a larger disc checks the rim over many coverage values.
  for (int size : {5, 6, 7, 8, 37, 44}) {
    GuardedFrame frame(24, 24, 0);
    SplatParams p = discAt(11, 11, size);
    frame.attach(p);
    DiscKernel2Inside(p);
    for (int y = 0; y < 24; ++y) {
      for (int x = 0; x < 24; ++x) {
        const int w = tableCoverage(p, size, distance(y, 11), distance(x, 11));
        const std::uint32_t expected = w == 255 ? 0x4080C0u : scaleColour(0xFF4080C0, w);
        EXPECT_EQ(frame.at(x, y), expected) << "size " << size << " at " << x << "," << y;
      }
    }
    EXPECT_TRUE(frame.guardIntact());
  }
}

TEST(DiscKernels, ThinRingSkipsTheHoleAndDrawsTheFarSide) {
  GuardedFrame frame(24, 24, 0);
  SplatParams p = discAt(11, 11, 40, 38);
  frame.attach(p);
  DiscKernel2Inside(p);
  EXPECT_EQ(frame.at(11, 11), 0u);  // the hole
  int drawn = 0;
  for (int y = 0; y < 24; ++y) {
    for (int x = 0; x < 24; ++x) {
      const int k = distance(y, 11);
      const int j = distance(x, 11);
      const int w = tableCoverage(p, 40, k, j) - tableCoverage(p, 38, k, j);
      const std::uint32_t expected = w <= 0 ? 0u : w == 255 ? 0x4080C0u : scaleColour(0xFF4080C0, w);
      EXPECT_EQ(frame.at(x, y), expected) << x << "," << y;
      drawn += expected != 0;
    }
  }
  EXPECT_GT(drawn, 40);
  EXPECT_NE(frame.at(20, 11), 0u);
  EXPECT_NE(frame.at(2, 11), 0u);
  EXPECT_TRUE(frame.guardIntact());
}

TEST(DiscKernels, SmallDiscsEndEachRowWhereTheWeighedCoverageFallsToZero) {
  // Boxes of radius 1 to 5 (the small ones drawn as a whole box, and the
  // first drawn row by row). At a low opacity the soft rim weighs 0 and ends
  // its row; the pixels beyond keep their word, alpha byte included.
  constexpr std::uint32_t OLD = 0xFF123456;
  for (int size = 5; size <= 20; ++size) {
    for (int alpha : {255, 90, 3}) {
      GuardedFrame frame(16, 16, OLD);
      SplatParams p = discAt(7, 8, size);
      frame.attach(p);
      p.alpha = alpha;
      DiscKernel0Inside(p);
      const std::uint32_t colour = p.brushColour;
      for (int y = 0; y < 16; ++y) {
        const int k = distance(y, 8);
        int end = 0;  // first distance of the row that weighs 0
        while (end <= p.radius && k <= p.radius && tableCoverage(p, size, k, end) * alpha / 255 != 0) ++end;
        for (int x = 0; x < 16; ++x) {
          const int j = distance(x, 7);
          const int w = tableCoverage(p, size, k, j) * alpha / 255;
          const std::uint32_t expected = j >= end ? OLD : w == 255 ? colour : lerpChannels(OLD, colour, w);
          EXPECT_EQ(frame.at(x, y), expected)
              << "size " << size << " alpha " << alpha << " at " << x << "," << y;
        }
      }
      EXPECT_TRUE(frame.guardIntact());
    }
  }
}

}  // namespace
}  // namespace qv
