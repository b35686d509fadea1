#include "splat/brush_table.h"

#include <gtest/gtest.h>

#include <tuple>

#include <cstring>

#include "splat/brush_images.h"
#include "frame/lookup_tables.h"
#include "frame/picture_layer.h"
#include "ground/runtime_error.h"
#include "splat/kernels.h"
#include "splat/splat_params.h"
#include "support/test_platform.h"

namespace qv {
namespace {

struct Brushes {
  testing::TestPlatform platform;
  LookupTables tables{platform};
  BrushImages images{tables};
  PictureLayer pictures{platform};
  BrushTable table{platform, tables, images, pictures};
  Brushes() { tables.buildSphereTable(); }

  Brush& setup(int index, std::int32_t kind, std::uint32_t colour, std::string_view name = "") {
    table.selectBrush(index);
    table.setupBrush(table.current(), kind, colour, name);
    return table.current();
  }
};

bool hasNoImages(const Brush& b) {
  for (const auto& image : b.quadrantImages) {
    if (image != nullptr) return false;
  }
  return true;
}

TEST(BrushTable, EmptySlotYieldsTheDefaultBrush) {
  Brushes t;
  EXPECT_EQ(t.table.at(7), nullptr);
  t.table.selectBrush(7);
  EXPECT_EQ(t.table.currentIndex(), 7);
  const Brush& b = t.table.current();
  ASSERT_EQ(t.table.at(7), &b);
  EXPECT_EQ(b.colour, 0u);  // transparent: nothing reaches its kernels
  EXPECT_EQ(std::tuple(b.nextBrush, b.insideKernel), std::tuple(NO_NEXT_BRUSH, &reportLinkDrawError));

  // createBrush replaces whatever the slot held.
  t.setup(7, 0x30000, 0xFF112233);
  t.table.current().sizeScale = 3.0;
  t.table.createBrush();
  EXPECT_EQ(t.table.current().sizeScale, 1.0);
  EXPECT_TRUE(hasNoImages(t.table.current()));
  t.table.destroyBrush();
  EXPECT_EQ(t.table.at(7), nullptr);
}

TEST(BrushTable, IndicesOutsideTheTableAreFatal) {
  Brushes t;
  EXPECT_THROW(t.table.selectBrush(512), RuntimeErrorStop);
  EXPECT_THROW(t.table.selectBrush(-1), RuntimeErrorStop);
  EXPECT_THROW(t.table.selectBrush(NO_NEXT_BRUSH), RuntimeErrorStop);
  EXPECT_THROW(t.table.copyBrush(0, 600), RuntimeErrorStop);
  EXPECT_THROW(t.table.copyBrush(-3, 1), RuntimeErrorStop);
  ASSERT_EQ(t.platform.errorsShown.size(), 5u);
  for (const auto& text : t.platform.errorsShown) EXPECT_EQ(text, errors::INDEX_OUT_OF_RANGE);
  EXPECT_EQ(t.table.at(512), nullptr);
  t.table.selectBrush(511);
  EXPECT_EQ(t.table.currentIndex(), 511);
}

struct KernelCase {
  std::int32_t kind;
  const char* name;
  Kernel clipped;
  Kernel inside;
  bool images;
  bool discTables;
};

TEST(BrushKernels, EveryClassAndVariantGetsItsPair) {
  const Kernel E = reportLinkDrawError;
  const KernelCase cases[] = {
      {0x10000, "", E, PointKernelInside, false, false},
      {0x10001, "", E, PointKernelInside, false, false},
      {0x10002, "", E, E, false, false},
      {0x20000, "", BallKernelClipped, BallKernelInside, true, false},
      {0x20001, "", BallKernelClipped, BallKernelInside, true, false},
      {0x20002, "", E, E, true, false},
      {0x20004, "", E, E, true, false},
      {0x30000, "", SpotKernel0Clipped, SpotKernel0Inside, true, false},
      {0x30001, "", SpotKernel1Clipped, SpotKernel1Inside, true, false},
      {0x30002, "", SpotKernel0Clipped, SpotKernel0Inside, true, false},
      {0x30003, "", SpotKernel3Clipped, SpotKernel3Inside, true, false},
      {0x30004, "", SpotKernel4Clipped, SpotKernel4Inside, true, false},
      {0x30005, "", E, E, true, false},
      {0x40000, "compSPOT", ImageKernel0Clipped, ImageKernel0Inside, true, false},
      {0x40001, "compBALL", ImageKernel0Clipped, ImageKernel0Inside, true, false},
      {0x40002, "compSPOT", ImageKernel2Clipped, ImageKernel2Inside, true, false},
      {0x40003, "compSPOT", ImageKernel3Clipped, ImageKernel3Inside, true, false},
      {0x40004, "compSPOT", ImageKernel4Clipped, ImageKernel4Inside, true, false},
      {0x40005, "compSPOT", E, E, true, false},
      {0x40000, "", DiscKernel0Clipped, DiscKernel0Inside, false, true},
      {0x40001, "", DiscKernel0Clipped, DiscKernel0Inside, false, true},
      {0x40002, "", DiscKernel2Clipped, DiscKernel2Inside, false, true},
      {0x40003, "", DiscKernel3Clipped, DiscKernel3Inside, false, true},
      {0x40004, "", DiscKernel4Clipped, DiscKernel4Inside, false, true},
      {0x40007, "", E, E, false, true},
      {0x50000, "", E, E, true, false},
      {0x00000, "", E, E, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << c.kind << " '" << c.name << "'");
    Brushes t;
    const Brush& b = t.setup(3, c.kind, 0xFF808080, c.name);
    EXPECT_EQ(std::tuple(b.clippedKernel, b.insideKernel), std::tuple(c.clipped, c.inside));
    EXPECT_EQ(!hasNoImages(b), c.images);
    EXPECT_EQ(t.tables.discCoverageBuilt(), c.discTables);
    EXPECT_EQ(brushKindDraws(c.kind), c.inside != E);
  }
}

TEST(BrushKernels, DiscTablesAreBuiltOnceAndUnsetKernelsReportTheLinkError) {
  Brushes t;
  t.setup(0, 0x40002, 0xFFFF5300);
  const std::uint32_t* table = t.tables.discCoverage(40);
  ASSERT_NE(table, nullptr);
  t.setup(1, 0x40002, 0xFFFF5300);
  EXPECT_EQ(t.tables.discCoverage(40), table);

  const Brush& ball = t.setup(2, 0x20003, 0xFFFFFFFF);
  SplatParams params;
  params.platform = &t.platform;
  EXPECT_THROW(ball.insideKernel(params), RuntimeErrorStop);
  ASSERT_EQ(t.platform.errorsShown.size(), 1u);
  EXPECT_EQ(t.platform.errorsShown[0], "PSI: LinkDraw Error");
}

TEST(BrushImages, FillBytesDependOnClassAndVariant) {
  Brushes t;
  // Texel (255, 255) lies off the disc, so it keeps the allocation fill.
  const int corner = 255 * 256 + 255;
  const Brush& ball4 = t.setup(0, 0x20004, 0xFF204060);
  const Brush& spot4 = t.setup(1, 0x30004, 0xFF204060);
  const Brush& spot0 = t.setup(2, 0x30000, 0xFF204060);
  const Brush& picture4 = t.setup(3, 0x40004, 0xFF204060, "compSPOT");
  for (int q = 0; q < 4; ++q) {
    EXPECT_EQ(ball4.quadrantImages[q][corner], 0xFFFFFFFFu);
    EXPECT_EQ(spot4.quadrantImages[q][corner], 0xFFFFFFFFu);
    EXPECT_EQ(spot0.quadrantImages[q][corner], 0u);
    EXPECT_EQ(picture4.quadrantImages[q][corner], 0u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(spot0.quadrantImages[q].data()) % 1024, 0u);
  }
}

TEST(BrushImages, NamedSourcesAreCaseSensitiveAndPicturesAreNotYetFound) {
  Brushes t;
  EXPECT_THROW(t.setup(0, 0x40000, 0xFFFFFFFF, "compball"), RuntimeErrorStop);
  ASSERT_EQ(t.platform.errorsShown.size(), 1u);
  EXPECT_EQ(t.platform.errorsShown[0], "PSI: JPG Resource Not Found");
  // A point brush never has images, so its name is never looked at.
  const Brush& point = t.setup(1, 0x10000, 0xFF7FC8FF, "SOMEPICTURE");
  EXPECT_TRUE(hasNoImages(point));
  EXPECT_EQ(t.platform.errorsShown.size(), 1u);
}

TEST(BrushImages, BallCentreIsLitEquallyInEveryQuadrantAndSidesDiffer) {
  Brushes t;
  const Brush& ball = t.setup(0, 0x20000, 0xFFFF8040);
  // n = (0, 0, -1) at the centre: g = 1/sqrt(3), m = 0.6632...
  for (int q = 0; q < 4; ++q) EXPECT_EQ(ball.quadrantImages[q][0], 0xFFA9552Au) << q;
  // Up and to the left faces the light; down and to the right is back-lit.
  const int texel = 150 * 256 + 150;
  const std::uint32_t lit = ball.quadrantImages[0][texel];
  const std::uint32_t dark = ball.quadrantImages[3][texel];
  EXPECT_GT(lit & 0xFF0000u, dark & 0xFF0000u);
  EXPECT_EQ(ball.quadrantImages[1][texel], ball.quadrantImages[2][texel]);
}

TEST(BrushImages, SpotCentreAndRimFollowVariantAndShape) {
  Brushes t;
  const Brush& spot = t.setup(0, 0x30000, 0xFF336699);
  EXPECT_EQ(spot.quadrantImages[0][0], 0xFF336699u);
  EXPECT_EQ(spot.quadrantImages[0][255], 0xFF000000u);  // r = 255: faded out with P = 1
  EXPECT_EQ(0, std::memcmp(spot.quadrantImages[0].data(), spot.quadrantImages[3].data(), IMAGE_BYTES));

  const Brush& blue = t.setup(1, 0x30001, 0xFFFF8000);
  EXPECT_EQ(blue.quadrantImages[2][0], 0xFF0000FFu);

  const Brush& white = t.setup(2, 0x30004, 0xFF336699);
  EXPECT_EQ(std::tuple(white.quadrantImages[1][0], white.quadrantImages[1][255]), std::tuple(0xFF336699u, 0xFFFFFFFFu));

  // The scene's shape: still the full colour at the centre.
  t.images.spotPeak = 0.6;
  t.images.spotShape = 0.8;
  const Brush& scene = t.setup(3, 0x30000, 0xFF336699);
  EXPECT_EQ(scene.quadrantImages[0][0], 0xFF336699u);
  EXPECT_EQ(scene.quadrantImages[0][128], 0xFF05090Eu);  // r = 128: m = 0.0900...
}

TEST(BrushCopy, ImagelessSourceIntoAnEmptySlotCopiesFieldsOnly) {
  Brushes t;
  Brush& source = t.setup(0, 0x40002, 0xFFFF5300);
  source.sizeScale = 0.0105;
  source.nextBrush = 4;
  t.table.copyBrush(0, 1);
  EXPECT_EQ(t.table.currentIndex(), 1);
  const Brush& copy = t.table.current();
  EXPECT_EQ(std::tuple(copy.sizeScale, copy.nextBrush, copy.insideKernel), std::tuple(0.0105, 4, &DiscKernel2Inside));
  EXPECT_TRUE(hasNoImages(copy));
}

TEST(BrushCopy, CopiesGetImagesOfTheirOwnAndLoseImagesTheSourceLacks) {
  Brushes t;
  const Brush& ball = t.setup(0, 0x20000, 0xFF79FF00);
  // Into an empty slot: images allocated and filled, never shared.
  t.table.copyBrush(0, 1);
  const Brush& copy = t.table.current();
  for (int q = 0; q < 4; ++q) {
    ASSERT_NE(copy.quadrantImages[q], nullptr);
    EXPECT_NE(copy.quadrantImages[q].data(), ball.quadrantImages[q].data());
    EXPECT_EQ(0, std::memcmp(copy.quadrantImages[q].data(), ball.quadrantImages[q].data(), IMAGE_BYTES));
  }
  // Into a brush with images: its own blocks are kept and overwritten.
  const Brush& spot = t.setup(2, 0x30000, 0xFF006CFA);
  std::array<const std::uint32_t*, 4> spotImages{};
  for (int q = 0; q < 4; ++q) spotImages[q] = spot.quadrantImages[q].data();
  t.table.copyBrush(0, 2);
  for (int q = 0; q < 4; ++q) {
    EXPECT_EQ(spot.quadrantImages[q].data(), spotImages[q]);
    EXPECT_EQ(0, std::memcmp(spot.quadrantImages[q].data(), ball.quadrantImages[q].data(), IMAGE_BYTES));
  }
  EXPECT_EQ(spot.insideKernel, &BallKernelInside);
  // From an imageless brush: the destination's images go.
  t.setup(3, 0x10000, 0xFF7FC8FF);
  t.table.copyBrush(3, 2);
  EXPECT_TRUE(hasNoImages(*t.table.at(2)));
  EXPECT_EQ(t.table.at(2)->insideKernel, &PointKernelInside);
  // A brush copied onto itself is unchanged.
  t.table.copyBrush(0, 0);
  EXPECT_EQ(t.table.currentIndex(), 0);
  EXPECT_EQ(t.table.at(0)->quadrantImages[0][0], ball.quadrantImages[0][0]);
  EXPECT_TRUE(t.platform.errorsShown.empty());
}

}  // namespace
}  // namespace qv
