#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <vector>

#include "frame/frame_buffer.h"
#include "frame/pixel_ops.h"
#include "splat/kernel.h"
#include "splat/kernel_test_support.h"
#include "splat/kernels.h"

namespace qv {
namespace {

using testing::GuardedFrame;
using testing::QuadrantImages;
using testing::splatAt;

// Every pixel of `frame` other than those listed keeps `fill`.
void expectOnlyChanged(const GuardedFrame& frame, std::uint32_t fill,
                       const std::vector<std::pair<int, int>>& changed) {
  for (int y = 0; y < frame.height(); ++y) {
    for (int x = 0; x < frame.width(); ++x) {
      bool listed = false;
      for (auto [cx, cy] : changed) listed = listed || (cx == x && cy == y);
      if (!listed) {
        EXPECT_EQ(frame.at(x, y), fill) << x << "," << y;
      }
    }
  }
  EXPECT_TRUE(frame.guardIntact());
}

// A texel that tells quadrant, source row and source column apart.
std::uint32_t marker(int q, int i, int u) {
  return 0xFF000000u | static_cast<std::uint32_t>(40 + 50 * q) << 16 | static_cast<std::uint32_t>(i) << 8 |
         static_cast<std::uint32_t>(u);
}

QuadrantImages markedImages() {
  QuadrantImages images;
  for (int q = 0; q < 4; ++q)
    for (int i = 0; i < 256; ++i)
      for (int u = 0; u < 256; ++u) images.texel(q, i, u) = marker(q, i, u);
  return images;
}

TEST(BallKernel, HiddenPixelsKeepColourAndDepth) {
  QuadrantImages images = markedImages();
  GuardedFrame frame(16, 16, 0x112233);
  frame.fillDepth(-1000);
  frame.depthAt(8, 8) = DEPTH_RESET_VALUE;
  SplatParams p = splatAt(8, 8, 4, frame, &images);
  p.ballDepth = 100;
  BallKernelInside(p);
  // Centre: hq = (4 * 2044) >> 8 = 31, slope 0, so the depth difference is
  // floored at -31 and the texel is drawn whole.
  EXPECT_EQ(frame.at(8, 8), marker(0, 0, 0));
  EXPECT_EQ(frame.depthAt(8, 8), 69);
  expectOnlyChanged(frame, 0x112233, {{8, 8}});
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      if (x != 8 || y != 8) {
        EXPECT_EQ(frame.depthAt(x, y), -1000);
      }
  // Equal depth is hidden too.
  frame.at(8, 8) = 0x112233;
  BallKernelInside(p);
  EXPECT_EQ(frame.at(8, 8), 0x112233u);
}

TEST(BallKernel, TinyBallDrawsTheCentreAndItsFourNeighbours) {
  QuadrantImages images = markedImages();
  GuardedFrame frame(16, 16, 0);
  SplatParams p = splatAt(5, 5, 2, frame, &images);
  p.ballDepth = 0;
  BallKernelInside(p);
  EXPECT_EQ(std::tuple(frame.at(5, 5), frame.at(4, 5), frame.at(6, 5), frame.at(5, 4), frame.at(5, 6)),
            std::tuple(marker(0, 0, 0), marker(0, 0, 255), marker(1, 0, 255), marker(0, 255, 0),
                       marker(2, 255, 0)));
  EXPECT_EQ(std::tuple(frame.depthAt(5, 5), frame.depthAt(6, 5), frame.depthAt(5, 6), frame.depthAt(4, 4)),
            std::tuple(-15, -1, -1, DEPTH_RESET_VALUE));
  expectOnlyChanged(frame, 0, {{5, 5}, {4, 5}, {6, 5}, {5, 4}, {5, 6}});
}

TEST(SpotKernels, AQuadrantStopsAtItsStopTexelWhileTheOthersGoOn) {
  // Radius 4: distances 0 ... 4 read texels 0, 64, 128, 191, 255.
  QuadrantImages images(0xFF101010);
  images.texel(0, 128, 128) = 0;                            // q0, row distance 2, column distance 2
  for (int q = 0; q < 4; ++q) images.texel(q, 64, 64) = 0;  // all stop at k = 1, j = 1
  GuardedFrame frame(16, 16, 0);
  SplatParams p = splatAt(8, 8, 5, frame, &images);
  SpotKernel0Inside(p);
  for (int y = 4; y <= 12; ++y) {
    for (int x = 4; x <= 12; ++x) {
      const int k = y < 8 ? 8 - y : y - 8;
      const int j = x < 8 ? 8 - x : x - 8;
      bool drawn = true;
      if (k == 1 && j >= 1) drawn = false;
      if (y == 6 && x <= 6) drawn = false;
      EXPECT_EQ(frame.at(x, y), drawn ? 0x101010u : 0u) << x << "," << y;
    }
  }
  EXPECT_TRUE(frame.guardIntact());
}

}  // namespace
}  // namespace qv
