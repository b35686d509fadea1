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

TEST(PointKernel, WritesTheColourOrFadesItTowardTheBackground) {
  GuardedFrame frame(16, 16, 0x123456);
  SplatParams p = splatAt(15, 0, 1, frame);
  p.tint = 0xFF80C040;
  PointKernelInside(p);
  EXPECT_EQ(frame.at(15, 0), 0xFF80C040u);  // the old pixel plays no part
  p.fog = 100;
  p.backgroundColour = 0x0000FF;
  p.centreX = 3;
  PointKernelInside(p);
  EXPECT_EQ(frame.at(3, 0), lerpChannels(0x0000FF, 0xFF80C040, 100));
  expectOnlyChanged(frame, 0x123456, {{15, 0}, {3, 0}});
}

TEST(ImageKernels, RadiusZeroChangesOnlyTheCentreWithItsFirstTexel) {
  QuadrantImages images = markedImages();
  images.texel(0, 0, 0) = 0xFF40A020;
  struct Case {
    Kernel kernel;
    std::uint32_t expected;
  };
  const std::uint32_t P = 0x80F010;
  for (const Case& c :
       {Case{ImageKernel0Inside, 0xFF40A020u}, Case{ImageKernel2Inside, 0xC0FF30u},
        Case{ImageKernel3Inside, 0x405000u}, Case{ImageKernel4Inside, multiplyChannels(P, 0x40A020)}}) {
    GuardedFrame frame(16, 16, P);
    SplatParams p = splatAt(6, 9, 1, frame, &images);
    c.kernel(p);
    EXPECT_EQ(frame.at(6, 9), c.expected);
    expectOnlyChanged(frame, P, {{6, 9}});
  }
}

TEST(ImageKernels, OverAppliesTintAndFadeAfterTheOpacityBlend) {
  QuadrantImages images;
  images.texel(0, 0, 0) = 0xFFC08040;
  GuardedFrame frame(16, 16, 0x204060);
  SplatParams p = splatAt(2, 2, 1, frame, &images);
  p.alpha = 128;
  p.tint = 0x80FF40;
  p.fog = 200;
  p.backgroundColour = 0x0000FF;
  ImageKernel0Inside(p);
  const std::uint32_t mixed = lerpChannels(0x204060, 0xFFC08040, 128);
  EXPECT_EQ(frame.at(2, 2), lerpChannels(0x0000FF, multiplyChannels(mixed, 0x80FF40), 200));
  EXPECT_EQ(p.fog, 200);  // the opacity blend keeps fade and opacity apart
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

TEST(BallKernel, NearlyEqualDepthsBlendSoftly) {
  QuadrantImages images(0xFFFFFFFF);
  GuardedFrame frame(16, 16, 0);
  frame.fillDepth(-1000);
  frame.depthAt(8, 8) = 72;  // zp = 69, e = -3
  SplatParams p = splatAt(8, 8, 4, frame, &images);
  p.ballDepth = 100;
  BallKernelInside(p);
  EXPECT_EQ(frame.at(8, 8), lerpChannels(0, 0xFFFFFFFF, 96));
  EXPECT_EQ(frame.depthAt(8, 8), 69);
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

TEST(SpotKernels, MultiplySpotStopsOnlyAtColourWhiteWithoutAlpha) {
  QuadrantImages images(0xFFFFFFFF);  // generated images: full alpha, never a stop
  images.texel(0, 0, 0) = 0x00FFFFFF;
  GuardedFrame frame(16, 16, 0x80FF01);
  SplatParams p = splatAt(8, 8, 2, frame, &images);
  SpotKernel4Inside(p);
  // The stop texel at the centre; q1 goes on from j = 1; q0 stays stopped in
  // its row but not in the next.
  EXPECT_EQ(std::tuple(frame.at(8, 8), frame.at(9, 8), frame.at(8, 9), frame.at(7, 8), frame.at(7, 7)),
            std::tuple(0x80FF01u, 0x7FFE00u, 0x7FFE00u, 0x80FF01u, 0x7FFE00u));
}

TEST(SpotKernels, TintedMultiplyAndWeightedBlends) {
  QuadrantImages images(0xFF000040);
  GuardedFrame frame(16, 16, 0x808080);
  SplatParams p = splatAt(3, 3, 1, frame, &images);
  p.tint = 0x0000FF;
  SpotKernel4Inside(p);
  EXPECT_EQ(frame.at(3, 3), multiplyChannels(0x808080, lerpChannels(0x0000FF, 0xFFFFFF, 0x40)));

  SplatParams q = splatAt(5, 3, 1, frame, &images);
  q.brushColour = 0xFF00FF00;
  q.alpha = 128;
  q.fog = 200;
  q.backgroundColour = 0x000010;
  SpotKernel1Inside(q);
  const std::uint32_t F = lerpChannels(0x000010, 0xFF00FF00, 200);
  EXPECT_EQ(frame.at(5, 3), lerpChannels(0x808080, lerpChannels(0x808080, F, 128), 0x40));
  EXPECT_EQ(q.fog, 200);
}

}  // namespace
}  // namespace qv
