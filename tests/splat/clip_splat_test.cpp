#include "splat/clip_splat.h"

#include <gtest/gtest.h>

#include <tuple>

#include "splat/coverage_mask.h"
#include "splat/kernel_test_support.h"

namespace qv {
namespace {

using testing::GuardedFrame;
using testing::KernelTables;
using testing::splatAt;

TEST(ClipSplat, CentreLeftOfFrameKeepsOnlyTheRightSide) {
  GuardedFrame frame(16, 16);
  SplatParams p = splatAt(-3, 10, 6);  // radius 5
  frame.attach(p);
  clipSplat(p);
  EXPECT_EQ(std::tuple(p.left, p.right, p.drawLeft, p.drawRight, p.firstColumn, p.rightExtent),
            std::tuple(0, 2, 0, 1, 3, 5));
  // Rows are untouched: the box spans 5 ... 15 inside a 16-row frame.
  EXPECT_EQ(std::tuple(p.drawUp, p.drawDown, p.firstRow, p.upExtent, p.downExtent), std::tuple(1, 1, 0, 5, 5));
}

TEST(ClipSplat, CentreBelowAndRightOfFrame) {
  GuardedFrame frame(16, 16);
  SplatParams p = splatAt(18, 17, 5);  // box 14 ... 22 by 13 ... 21
  frame.attach(p);
  clipSplat(p);
  EXPECT_EQ(std::tuple(p.right, p.bottom, p.drawDown, p.drawUp, p.firstRow, p.upExtent),
            std::tuple(15, 15, 0, 1, 2, 4));
  EXPECT_EQ(std::tuple(p.drawRight, p.drawLeft, p.firstColumn, p.leftExtent), std::tuple(0, 1, 3, 4));
}

TEST(ClipSplat, CentreAboveFrameAndBoxTouchingEdges) {
  GuardedFrame frame(16, 16);
  SplatParams p = splatAt(15, -2, 4);
  frame.attach(p);
  clipSplat(p);
  EXPECT_EQ(std::tuple(p.top, p.drawUp, p.drawDown, p.firstRow, p.downExtent), std::tuple(0, 0, 1, 2, 3));
  // The centre column is the last one: left side whole, nothing to its right.
  EXPECT_EQ(std::tuple(p.drawLeft, p.drawRight, p.rightExtent, p.firstColumn), std::tuple(1, 1, 0, 0));
}

TEST(SelectCoverageMask, LanesTablesAndTheLargestSize) {
  SplatParams p;
  KernelTables::get().attach(p, 0);
  CoverageMask m;
  // Sizes 5 ... 8 share the table for s = 2, one lane each.
  for (int v = 5; v <= 8; ++v) {
    selectCoverageMask(m, p, v);
    EXPECT_EQ(std::tuple(m.words, m.lane, m.shift), std::tuple(2, v - 5, 8 * (v - 5)));
    EXPECT_EQ(m.laneMask, 0xFFu << (8 * (v - 5)));
    EXPECT_EQ(m.rows, p.discCoverage[2]);
  }
  // The fixed table for s = 1 holds 63, 127, 191, 255 in its lanes.
  for (int v = 1; v <= 4; ++v) {
    selectCoverageMask(m, p, v);
    EXPECT_EQ(m.words, 1);
    EXPECT_EQ(coverageAt(m, 0, 0), 64 * v - 1);
  }
  // Beyond the last table the largest disc is used, never a pointer past it.
  const std::uint32_t* pointers[256] = {};
  p.discCoverage = pointers;
  selectCoverageMask(m, p, 2000);
  EXPECT_EQ(std::tuple(m.words, m.lane), std::tuple(255, 3));
}

}  // namespace
}  // namespace qv
