// Damaged picture resources: a brush set up from bytes that are cut short,
// overwritten or not a picture at all must end in the loader's "not found"
// report (or the wrong-resolution one for a picture of another size) and
// never read outside the bytes it was given. Run under the sanitizers.

#include "splat/brush_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <set>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "frame/lookup_tables.h"
#include "frame/picture_layer.h"
#include "frame/picture_test_support.h"
#include "frame/pixel_ops.h"
#include "ground/runtime_error.h"
#include "hosts/headless/headless_platform.h"
#include "splat/brush_images.h"
#include "splat/kernels.h"
#include "splat/splat_params.h"

namespace qv {
namespace {

using testing::BINARYDATA_TYPE;
using testing::rawPicture;

struct Brushes {
  testing::PictureTestPlatform platform;
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
  std::set<std::int32_t> drawn;
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << std::hex << c.kind << " '" << c.name << "'");
    Brushes t;
    const Brush& b = t.setup(3, c.kind, 0xFF808080, c.name);
    EXPECT_EQ(std::tuple(b.kindRecord.clippedKernel, b.kindRecord.insideKernel),
              std::tuple(c.clipped, c.inside));
    EXPECT_EQ(!hasNoImages(b), c.images);
    EXPECT_EQ(t.tables.discCoverageBuilt(), c.discTables);
    EXPECT_EQ(brushKindDraws(c.kind), c.inside != E);
    if (c.inside != E) drawn.insert(c.kind);
  }
  // The kinds offered as drawing are exactly those with kernels.
  const std::span<const std::int32_t> kinds = drawnKinds();
  EXPECT_EQ(std::set<std::int32_t>(kinds.begin(), kinds.end()), drawn);
  EXPECT_TRUE(std::is_sorted(kinds.begin(), kinds.end()));
}

// What a kind's splats need besides kernels: where they go by class, the
// black-tint skip by variant, the depth test for drawing balls only.
TEST(BrushKinds, PlacementBlackTintAndDepthTest) {
  using P = SplatPlacement;
  const struct {
    std::int32_t kind;
    P placement;
    bool skipsBlackTint;
    bool testsDepth;
  } cases[] = {
      {0x10000, P::Point, false, false},  {0x20001, P::BallBox, false, true},
      {0x20002, P::BallBox, true, false}, {0x30002, P::Box, true, false},
      {0x30003, P::Box, true, false},     {0x30004, P::Box, false, false},
      {0x40002, P::BallBox, true, false}, {0x40001, P::BallBox, false, false},
      {0x50002, P::None, true, false},
  };
  for (const auto& c : cases) {
    const BrushKindRecord r = resolveBrushKind(c.kind, false);
    EXPECT_EQ(std::tuple(r.placement, r.skipsBlackTint, r.testsDepth),
              std::tuple(c.placement, c.skipsBlackTint, c.testsDepth))
        << std::hex << c.kind;
  }
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
  EXPECT_EQ(spot.kindRecord.insideKernel, &BallKernelInside);
  // From an imageless brush: the destination's images go.
  t.setup(3, 0x10000, 0xFF7FC8FF);
  t.table.copyBrush(3, 2);
  EXPECT_TRUE(hasNoImages(*t.table.at(2)));
  EXPECT_EQ(t.table.at(2)->kindRecord.insideKernel, &PointKernelInside);
  // A brush copied onto itself is unchanged.
  t.table.copyBrush(0, 0);
  EXPECT_EQ(t.table.currentIndex(), 0);
  EXPECT_EQ(t.table.at(0)->quadrantImages[0][0], ball.quadrantImages[0][0]);
  EXPECT_TRUE(t.platform.errorsShown.empty());
}

std::uint32_t texel(const Brush& b, int q, int dy, int dx) {
  return b.quadrantImages[q][dy * IMAGE_SIDE + dx];
}

// Every pixel tells where it is: red = x, green = y (low bytes), blue = the
// high bits of both.
std::uint32_t where(int x, int y) {
  return 0xFF000000u | static_cast<std::uint32_t>(x & 0xFF) << 16 |
         static_cast<std::uint32_t>(y & 0xFF) << 8 | static_cast<std::uint32_t>((x >> 8) << 1 | (y >> 8));
}

TEST(BrushPicture, Variant4ReadsThePictureAsAGreyMaskFromWhiteToTheColour) {
  Brushes t;
  // Blue 0 left of the centre column, 255 from it on; red must not matter.
  t.platform.addResource("MASK", BINARYDATA_TYPE, rawPicture(511, 511, [](int x, int) {
                           return x < 255 ? 0xFF770000u : 0xFF7700FFu;
                         }));
  const Brush& spot = t.setup(1, 0x30004, 0xFF204080, "MASK");
  EXPECT_EQ(texel(spot, 0, 4, 1), 0x00FFFFFFu);
  EXPECT_EQ(texel(spot, 2, 200, 255), 0x00FFFFFFu);
  EXPECT_EQ(texel(spot, 1, 4, 1), 0x00204080u);
  EXPECT_EQ(texel(spot, 3, 0, 0), 0x00204080u);

  // A picture brush of variant 4 tints like every other.
  const Brush& picture = t.setup(1, 0x40004, 0xFF204080, "MASK");
  EXPECT_EQ(texel(picture, 0, 4, 1), multiplyChannels(0xFF770000u, 0xFF204080u));
  EXPECT_EQ(texel(picture, 1, 4, 1), multiplyChannels(0xFF7700FFu, 0xFF204080u));
}

TEST(BrushPicture, MissingOrWrongPicturesAreFatalAndCloseTheirUse) {
  struct Case {
    const char* name;
    const char* error;
  };
  const Case cases[] = {
      {"NOWHERE", "PSI: JPG Resource Not Found"},
      {"BROKEN", "PSI: JPG Resource Not Found"},
      {"SQUARE256", "PSI: JPG Resource Have Wrong Resolution"},
      {"FLAT511", "PSI: JPG Resource Have Wrong Resolution"},
      {"FLAT255", "PSI: JPG Resource Have Wrong Resolution"},
      // The generators' names are exact: any other spelling is a picture.
      {"compspot", "PSI: JPG Resource Not Found"},
  };
  for (const Case& c : cases) {
    Brushes t;
    t.platform.addResource("BROKEN", BINARYDATA_TYPE, {0, 1, 2, 3, 4, 5, 6, 7, 8});
    t.platform.addResource("SQUARE256", BINARYDATA_TYPE, rawPicture(256, 256, where));
    t.platform.addResource("FLAT511", BINARYDATA_TYPE, rawPicture(511, 40, where));
    t.platform.addResource("FLAT255", BINARYDATA_TYPE, rawPicture(255, 40, where));
    EXPECT_THROW(t.setup(1, 0x30000, 0xFFFFFFFF, c.name), RuntimeErrorStop) << c.name;
    ASSERT_EQ(t.platform.errorsShown.size(), 1u) << c.name;
    EXPECT_EQ(t.platform.errorsShown[0], c.error) << c.name;
    EXPECT_EQ(t.pictures.gdiplusUsers(), 0) << c.name;
    EXPECT_EQ(t.platform.starts, 1) << c.name;
    EXPECT_EQ(t.platform.stops, 1) << c.name;
    EXPECT_FALSE(t.pictures.hasPicture()) << c.name;
  }
}

// Sets brush 1 up from `bytes` as the only BINARYDATA resource; returns the
// error text, or "" when the picture loaded.
std::string loadFrom(const std::vector<std::uint8_t>& bytes) {
  const EmbeddedResource table[] = {{"DAMAGED", 0, "BINARYDATA", bytes.data(), bytes.size()}};
  HeadlessPlatform platform(64, 64, table, nullptr);
  LookupTables tables{platform};
  BrushImages images{tables};
  PictureLayer pictures{platform};
  BrushTable brushes{platform, tables, images, pictures};
  brushes.selectBrush(1);
  try {
    brushes.setupBrush(brushes.current(), 0x40002, 0xFFFFFFFF, "damaged");
  } catch (const RuntimeErrorStop& stop) {
    EXPECT_EQ(pictures.gdiplusUsers(), 0);
    return stop.what();
  }
  return "";
}

std::vector<std::uint8_t> shippedFlare() {
  const auto bytes = findEmbeddedResource(programResources(), "STAR_FLARE", "BINARYDATA");
  return {bytes.begin(), bytes.end()};
}

TEST(DamagedPictures, NoiseAndBrokenHeadersNeverCrash) {
  std::mt19937 random(12345);
  const auto flare = shippedFlare();
  // Noise alone, noise after a PNG or a JPEG signature, and the flare with
  // bytes of its header overwritten.
  const std::vector<std::uint8_t> starts[] = {
      {}, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, {0xFF, 0xD8, 0xFF, 0xE0}};
  for (int round = 0; round < 60; ++round) {
    std::vector<std::uint8_t> bytes = round % 4 == 3 ? flare : starts[round % 4];
    if (round % 4 == 3) {
      for (int k = 0; k < 8; ++k) bytes[random() % 60] = static_cast<std::uint8_t>(random());
    } else {
      for (std::size_t n = random() % 2048; n > 0; --n) bytes.push_back(static_cast<std::uint8_t>(random()));
    }
    const std::string error = loadFrom(bytes);
    EXPECT_TRUE(error.empty() || error == "PSI: JPG Resource Not Found" ||
                error == "PSI: JPG Resource Have Wrong Resolution")
        << "round " << round << ": " << error;
  }
}

}  // namespace
}  // namespace qv
