#include "splat/splat_setup.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <utility>

#include "frame/pixel_ops.h"
#include "particles/draw_list.h"
#include "splat/brush.h"
#include "splat/clip_splat.h"
#include "splat/kernel_test_support.h"
#include "splat/kernels.h"

namespace qv {
namespace {

using testing::GuardedFrame;
using testing::KernelTables;

// Kernels that only say which form ran: the inside one marks the block, the
// clipped one narrows the box as every clipped kernel does first.
constexpr std::int32_t NO_KERNEL = -1;
constexpr std::int32_t INSIDE_RAN = 1001;
void markInside(SplatParams& p) { p.firstRow = INSIDE_RAN; }
void markClipped(SplatParams& p) { clipSplat(p); }

// A 32 x 24 frame with its centre at (16, 12), projection scale 1 and the
// default perspective, so an entry at depth 0 has factor 1 and lands at
// column trunc(x + 16.5) and row trunc(y + 12.5).
class SplatSetupTest : public ::testing::Test {
 protected:
  static constexpr int W = 32;
  static constexpr int H = 24;

  SplatSetup setup;
  DrawEntry entry;
  GuardedFrame frame{W, H, 0};
  Brush brush;

  void SetUp() override {
    entry.size = 1.0;
    entry.colour = 0xFFFFFFFF;
    setup.currentEntry = &entry;
    frame.attach(setup.params);
    setup.params.discCoverage = KernelTables::get().tables.discCoverageTables();
    setup.frame.projectionScale = 1.0;
    setup.frame.screenCentreX = W / 2;
    setup.frame.screenCentreY = H / 2;
    setup.frame.rescaleTable = KernelTables::get().tables.rescaleTable();
    useKind(0x50000);  // no class set-up: only the numbers
  }

  void useKind(std::int32_t kind) {
    brush.kind = kind;
    brush.colour = 0xFF4080C0;
    brush.kindRecord = resolveBrushKind(kind, false);
    brush.kindRecord.insideKernel = markInside;
    brush.kindRecord.clippedKernel = markClipped;
  }

  // q = sizeScale * 400 at depth 0.
  void useQuarterSize(double sizeScale) { brush.sizeScale = sizeScale; }

  std::int32_t draw(double x, double y, double z, std::uint32_t tint = NO_TINT, std::int32_t alpha = 255) {
    setup.params.tint = tint;
    setup.params.alpha = alpha;
    setup.params.firstRow = NO_KERNEL;
    return setup.drawSplat(brush, x, y, z);
  }

  void expectSizes(int quarter, int half, int pixel) const {
    EXPECT_EQ(std::tuple(setup.params.sizeQuarter, setup.params.sizeHalf, setup.params.sizePixel),
              std::tuple(quarter, half, pixel));
  }
};

TEST_F(SplatSetupTest, PerspectiveFactorAroundCapDepthWithTheScenesSettings) {
  setup.setPerspective(-250.0, -1.0);
  setup.depthSortEnabled = 0;
  EXPECT_NEAR(setup.depthScale(-487.4), 500.0 / 12.6, 1e-9);
  for (auto [z, factor] : {std::pair{-487.5, 10.0}, {0.0, 1.0}, {500.0, 0.5}, {-250.0, 2.0}})
    EXPECT_EQ(setup.depthScale(z), factor) << z;

  useQuarterSize(0.01);  // q = 4 s
  EXPECT_EQ(draw(0, 0, -487.5), 0);
  expectSizes(40, 20, 10);
  EXPECT_EQ(draw(0, 0, -487.4), 0);
  EXPECT_EQ(setup.params.sizeQuarter, 159);  // 4 * 39.68

  // Nearer than the limit: not drawn; the result is depthSortEnabled.
  for (int sortEnabled : {0, 1}) {
    setup.depthSortEnabled = sortEnabled;
    setup.params.sizeQuarter = -5;
    EXPECT_EQ(draw(0, 0, -487.6), sortEnabled);
    EXPECT_EQ(setup.params.sizeQuarter, -5);
  }
}

TEST_F(SplatSetupTest, FogOfTheDistanceFadeAndItsDivisor) {
  useQuarterSize(0.01);
  constexpr std::int32_t NO_FADE = -1;  // no setDepthFade yet: full at every depth
  const struct Case {
    std::int32_t mode;
    double divisor;
    double z;
    std::int32_t fog;
  } cases[] = {
      {NO_FADE, 1, -100, 255}, {NO_FADE, 1, 0, 255}, {NO_FADE, 1, 400, 255}, {NO_FADE, 1, 5000, 255},
      {1000, 1, -400, 255},    {1000, 1, -150, 255}, {1000, 1, 275, 80},  // u = 0.5, eased 5/16
      {1000, 1, 700, 0},                                                  // u = 0: nothing drawn
      {1000, 1, 900, 0},       {1001, 1, 275, 25},  // eased and squared: 255 * 25/256 + 0.5
      {5, 0.5, 275, 255},                           // linear: depthFade = (700 - z) / 850 = 0.5, over 0.5
      {5, 0.5, 445, 153},                           // 0.3 / 0.5
      {5, 0.0, 445, 77},                            // a divisor of 0 leaves it undivided: 255 * 0.3 + 0.5
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " z " << c.z << " divisor " << c.divisor);
    if (c.mode != NO_FADE) {
      setup.setPerspective(-250.0, -1.0);
      setup.setDepthFade(700.0, -150.0, c.mode);
    }
    brush.fadeDivisor = c.divisor;
    setup.params.sizeQuarter = -5;
    draw(0, 0, c.z);
    EXPECT_EQ(setup.params.fog, c.fog);
    if (c.z == 700) {
      EXPECT_EQ(setup.params.sizeQuarter, -5);
    }
  }
}

TEST_F(SplatSetupTest, FadeCurves) {
  EXPECT_EQ(SplatSetup::biasCurve(0.0, 1.0), 0.0);  // empty denominator
  entry.lifespan = 100;
  entry.countdown = 50;
  const struct {
    std::int32_t mode;
    double factor;
  } curves[] = {{1, 0.5},    {1000, 0.3125},      {1001, 0.09765625},  {1002, 0.5}, {1003, 0.5 / 0.75},
                {1004, 0.8}, {1005, 0.5 / 0.535}, {1006, 0.5 / 0.505}, {1007, 1.0}, {42, 1.0}};
  for (const auto& c : curves) {
    setup.drawMode = c.mode;
    EXPECT_DOUBLE_EQ(setup.lifeFade(), c.factor) << c.mode;
  }
  entry.countdown = 0;
  setup.drawMode = 1007;
  EXPECT_EQ(setup.lifeFade(), 0.0);
}

TEST_F(SplatSetupTest, LifeFadeOfTheAlpha) {
  useQuarterSize(0.01);
  entry.lifespan = 750;

  // A particle at the end of its life under 1007 is skipped before sizing.
  setup.drawMode = 1007;
  entry.countdown = 0;
  setup.params.sizeQuarter = -5;
  EXPECT_EQ(draw(0, 0, 0, NO_TINT, 200), 0);
  EXPECT_EQ(std::tuple(setup.params.alpha, setup.params.sizeQuarter), std::tuple(0, -5));

  // A lifespan of 0 never calls the life fade.
  entry.lifespan = 0;
  draw(0, 0, 0, NO_TINT, 200);
  EXPECT_EQ(std::tuple(setup.params.alpha, setup.params.sizeQuarter), std::tuple(200, 4));
}

TEST_F(SplatSetupTest, BlackTintSkipsAddAndSubtractVariantsOnly) {
  useQuarterSize(0.01);
  for (std::int32_t kind : {0x40002, 0x40003, 0x30002, 0x30003}) {
    useKind(kind);
    setup.params.fog = 77;
    EXPECT_EQ(draw(0, 0, 0, 0x00000000), 0);
    EXPECT_EQ(setup.params.fog, 77) << std::hex << kind;
    EXPECT_EQ(setup.params.firstRow, NO_KERNEL);
  }
  useKind(0x40000);
  draw(0, 0, 0, 0x00000000);
  EXPECT_EQ(setup.params.firstRow, INSIDE_RAN);
  useKind(0x40002);
  draw(0, 0, 0, 0xFF000000);  // only the whole word 0 counts as black
  EXPECT_EQ(setup.params.firstRow, INSIDE_RAN);
}

TEST_F(SplatSetupTest, SizeRadiiAndInnerSizes) {
  const struct Case {
    double sizeScale;  // q = sizeScale * 400
    int minPixel;
    double inner1, inner2;
    int quarter, half, pixel, innerSize1, innerSize2;  // -1: not looked at
  } cases[] = {
      {0.001, 0, 0, 0, 0, 0, 0, 0, 0},  // q = 0.4
      {0.001, 1, 0, 0, 4, 2, 1, 0, 0},
      {0.015, 3, 0, 0, 12, 6, 3, 0, 0},   // q = 6: 6, 3, 2 raised to the minimum
      {0.0255, 3, 0, 0, 10, 5, 3, 0, 0},  // q = 10.2: already 3 pixels, unchanged
      {0.013, 0, 0, 0, 5, 3, 2, 0, 0},    // q = 5.2
      // The pixel radius is capped at 255; the quarter radius at the largest
      // disc the coverage tables hold, 1020.
      {5.0, 0, 0, 0, 1020, 1000, 255, 0, 0},  // q = 2000
      {1020.0 / 400, 0, 0, 0, 1020, 510, 255, 0, 0},
      {1021.0 / 400, 0, 0, 0, 1020, 511, 255, 0, 0},
      {0.1, 0, 0.5, 0.48, 40, -1, -1, 20, 18},  // q = 40; 19 leaves less than 2 quarters: 18
      {0.1, 0, 1.0, 0.3, 40, -1, -1, 38, -1},   // too large a hole is narrowed...
      {0.0025, 0, 1.0, 0.3, 1, -1, -1, 0, -1},  // ... and never below 0
      // Inner sizes of a capped splat stay within the capped quarter radius.
      {5.0, 0, 0.9, 0.8, 1020, -1, -1, 1018, 1016},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "scale " << c.sizeScale << " inner " << c.inner1 << "/" << c.inner2);
    useQuarterSize(c.sizeScale);
    setup.minPixelSize = c.minPixel;
    brush.innerScale1 = c.inner1;
    brush.innerScale2 = c.inner2;
    draw(0, 0, 0);
    const SplatParams& p = setup.params;
    EXPECT_EQ(p.sizeQuarter, c.quarter);
    if (c.half >= 0) {
      EXPECT_EQ(std::tuple(p.sizeHalf, p.sizePixel), std::tuple(c.half, c.pixel));
    }
    EXPECT_EQ(p.innerSize1, c.innerSize1);
    if (c.innerSize2 >= 0) {
      EXPECT_EQ(p.innerSize2, c.innerSize2);
    }
  }
}

TEST_F(SplatSetupTest, BallSetupOfATinySplat) {
  useKind(0x20000);
  useQuarterSize(0.013);  // q = 5.2 at depth 0
  draw(0, 0, 0);
  const SplatParams& p = setup.params;
  EXPECT_EQ(std::tuple(p.tinyBall, p.radius, p.left, p.right, p.top, p.bottom),
            std::tuple(1, 1, 15, 17, 11, 13));
  EXPECT_EQ(p.ballDepth, 0);  // trunc(-0.5)
  EXPECT_EQ(p.firstRow, INSIDE_RAN);
  EXPECT_EQ(setup.params.rescaleRow, KernelTables::get().tables.rescaleTable() + 256);

  useQuarterSize(0.1);
  draw(0, 0, 100.0);  // s = 2/3: depth trunc(8 * 100 * s - 0.5)
  EXPECT_EQ(std::tuple(setup.params.tinyBall, setup.params.ballDepth), std::tuple(0, 532));
  EXPECT_EQ(setup.params.sizePixel, 7);  // q = 26.67
}

TEST_F(SplatSetupTest, PointsOutsideTheFrameAreSkipped) {
  useKind(0x10000);
  brush.kindRecord.insideKernel = PointKernelInside;
  useQuarterSize(0.01);
  // Centre columns -1, maxColumn and maxColumn + 1 on row 5.
  draw(-17.6, -7, 0);
  draw(16, -7, 0);
  for (int x = 0; x < W; ++x) EXPECT_EQ(frame.at(x, 5), 0u) << x;
  EXPECT_TRUE(frame.guardIntact());
  draw(15, -7, 0);
  EXPECT_EQ(frame.at(W - 1, 5), 0xFF4080C0u);
  // A tint multiplies the brush colour.
  draw(-16, -12, 0, 0xFF808080);
  EXPECT_EQ(frame.at(0, 0), multiplyChannels(0xFF4080C0u, 0xFF808080u));
  // Rows outside, above and below.
  draw(0, -13.6, 0);
  draw(0, 12, 0);
  EXPECT_TRUE(frame.guardIntact());
}

TEST_F(SplatSetupTest, BoxesInsideClippedAndOutside) {
  useKind(0x30000);
  useQuarterSize(0.06);  // q = 24: radius 5
  // Centre (-3, 10): clipped, left half dropped.
  draw(-19.6, -2, 0);
  const SplatParams& p = setup.params;
  EXPECT_EQ(std::tuple(p.centreX, p.centreY, p.radius), std::tuple(-3, 10, 5));
  EXPECT_EQ(std::tuple(p.left, p.drawLeft, p.firstColumn, p.drawRight, p.rightExtent),
            std::tuple(0, 0, 3, 1, 5));

  // The box touching the last row is inside; one row lower it is clipped.
  draw(0, 6, 0);
  EXPECT_EQ(std::tuple(setup.params.bottom, setup.params.firstRow), std::tuple(H - 1, INSIDE_RAN));
  draw(0, 7, 0);
  EXPECT_NE(setup.params.firstRow, INSIDE_RAN);
  EXPECT_NE(setup.params.firstRow, NO_KERNEL);
  // Wholly below (top = maxRow + 1) or right of the frame: no kernel.
  draw(0, 17, 0);
  EXPECT_EQ(std::tuple(setup.params.top, setup.params.firstRow), std::tuple(H, NO_KERNEL));
  draw(21, 0, 0);
  EXPECT_EQ(setup.params.firstRow, NO_KERNEL);
  draw(0, 16, 0);  // top on the last row
  EXPECT_NE(setup.params.firstRow, NO_KERNEL);
  // Size 0 never reaches a kernel.
  useQuarterSize(0.0001);
  draw(0, 0, 0);
  EXPECT_EQ(setup.params.firstRow, NO_KERNEL);
}

}  // namespace
}  // namespace qv
