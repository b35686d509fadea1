#include "splat/clip_splat.h"

#include <gtest/gtest.h>

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
  EXPECT_EQ(p.left, 0);
  EXPECT_EQ(p.right, 2);
  EXPECT_EQ(p.drawLeft, 0);
  EXPECT_EQ(p.drawRight, 1);
  EXPECT_EQ(p.firstColumn, 3);
  EXPECT_EQ(p.rightExtent, 5);
  // Rows are untouched: the box spans 5 ... 15 inside a 16-row frame.
  EXPECT_EQ(p.drawUp, 1);
  EXPECT_EQ(p.drawDown, 1);
  EXPECT_EQ(p.firstRow, 0);
  EXPECT_EQ(p.upExtent, 5);
  EXPECT_EQ(p.downExtent, 5);
}

TEST(ClipSplat, CentreBelowAndRightOfFrame) {
  GuardedFrame frame(16, 16);
  SplatParams p = splatAt(18, 17, 5);  // box 14 ... 22 by 13 ... 21
  frame.attach(p);
  clipSplat(p);
  EXPECT_EQ(p.right, 15);
  EXPECT_EQ(p.bottom, 15);
  EXPECT_EQ(p.drawDown, 0);
  EXPECT_EQ(p.drawUp, 1);
  EXPECT_EQ(p.firstRow, 2);
  EXPECT_EQ(p.upExtent, 4);
  EXPECT_EQ(p.drawRight, 0);
  EXPECT_EQ(p.drawLeft, 1);
  EXPECT_EQ(p.firstColumn, 3);
  EXPECT_EQ(p.leftExtent, 4);
}

TEST(ClipSplat, CentreAboveFrameAndBoxTouchingEdges) {
  GuardedFrame frame(16, 16);
  SplatParams p = splatAt(15, -2, 4);
  frame.attach(p);
  clipSplat(p);
  EXPECT_EQ(p.top, 0);
  EXPECT_EQ(p.drawUp, 0);
  EXPECT_EQ(p.drawDown, 1);
  EXPECT_EQ(p.firstRow, 2);
  EXPECT_EQ(p.downExtent, 3);
  // The centre column is the last one: left side whole, nothing to its right.
  EXPECT_EQ(p.drawLeft, 1);
  EXPECT_EQ(p.drawRight, 1);
  EXPECT_EQ(p.rightExtent, 0);
  EXPECT_EQ(p.firstColumn, 0);
}

TEST(SelectCoverageMask, LanesTablesAndTheLargestSize) {
  SplatParams p;
  KernelTables::get().attach(p, 0);
  CoverageMask m;
  // Sizes 5 ... 8 share the table for s = 2, one lane each.
  for (int v = 5; v <= 8; ++v) {
    selectCoverageMask(m, p, v);
    EXPECT_EQ(m.words, 2);
    EXPECT_EQ(m.lane, v - 5);
    EXPECT_EQ(m.shift, 8 * (v - 5));
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
  EXPECT_EQ(m.words, 255);
  EXPECT_EQ(m.lane, 3);
}

}  // namespace
}  // namespace qv
