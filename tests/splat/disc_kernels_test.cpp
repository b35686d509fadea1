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
