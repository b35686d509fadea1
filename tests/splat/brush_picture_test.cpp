#include "splat/brush_picture.h"

#include <gtest/gtest.h>

#include "splat/brush_images.h"
#include "splat/brush_table.h"
#include "frame/lookup_tables.h"
#include "frame/picture_layer.h"
#include "frame/picture_test_support.h"
#include "frame/pixel_ops.h"
#include "hosts/headless/headless_platform.h"
#include "ground/runtime_error.h"
#include "splat/kernels.h"

namespace qv {
namespace {

using testing::BINARYDATA_TYPE;
using testing::rawPicture;

template <class P>
struct ImageBrushes {
  P platform;
  LookupTables tables{platform};
  BrushImages images{tables};
  PictureLayer pictures{platform};
  BrushTable table{platform, tables, images, pictures};

  template <class... Args>
  explicit ImageBrushes(Args&&... args) : platform(std::forward<Args>(args)...) {}

  Brush& setup(std::int32_t kind, std::uint32_t colour, std::string_view name) {
    table.selectBrush(1);
    table.setupBrush(table.current(), kind, colour, name);
    return table.current();
  }
};
using Brushes = ImageBrushes<testing::PictureTestPlatform>;

std::uint32_t texel(const Brush& b, int q, int dy, int dx) { return b.quadrantImages[q][dy * IMAGE_SIDE + dx]; }

// Every pixel tells where it is: red = x, green = y (low bytes), blue = the
// high bits of both.
std::uint32_t where(int x, int y) {
  return 0xFF000000u | static_cast<std::uint32_t>(x & 0xFF) << 16 | static_cast<std::uint32_t>(y & 0xFF) << 8 |
         static_cast<std::uint32_t>((x >> 8) << 1 | (y >> 8));
}

TEST(BrushPicture, A511PictureMapsOnePixelToOneTexelAroundTheCentre) {
  Brushes t;
  t.platform.addResource("FLARE", BINARYDATA_TYPE, rawPicture(511, 511, where));
  const std::uint32_t tint = 0xFFFFFFFF;
  const Brush& b = t.setup(0x40002, tint, "FLARE");
  EXPECT_TRUE(t.platform.errorsShown.empty());
  EXPECT_EQ(b.insideKernel, &ImageKernel2Inside);
  auto expect = [&](int q, int dy, int dx, int x, int y) {
    EXPECT_EQ(texel(b, q, dy, dx), multiplyChannels(where(x, y), tint)) << q << " " << dy << " " << dx;
  };
  for (int q = 0; q < 4; ++q) expect(q, 0, 0, 255, 255);
  expect(0, 3, 5, 250, 252);
  expect(1, 3, 5, 260, 252);
  expect(2, 3, 5, 250, 258);
  expect(3, 3, 5, 260, 258);
  expect(0, 255, 255, 0, 0);
  expect(1, 255, 255, 510, 0);
  expect(2, 255, 255, 0, 510);
  expect(3, 255, 255, 510, 510);
  for (int q = 0; q < 4; ++q) EXPECT_EQ(texel(b, q, 17, 200) >> 24, 0u);
  // The load closed its use of picture support and kept nothing.
  EXPECT_EQ(t.pictures.gdiplusUsers(), 0);
  EXPECT_EQ(t.platform.starts, t.platform.stops);
  EXPECT_FALSE(t.pictures.hasPicture());
}

TEST(BrushPicture, A255PictureCoversTwoByTwoTexelsPerPixel) {
  Brushes t;
  t.platform.addResource("SMALL", BINARYDATA_TYPE, rawPicture(255, 255, where));
  const Brush& b = t.setup(0x40000, 0xFF80FF40, "SMALL");
  for (int q = 0; q < 4; ++q) {
    const std::uint32_t first = texel(b, q, 0, 0);
    EXPECT_EQ(texel(b, q, 0, 1), first);
    EXPECT_EQ(texel(b, q, 1, 0), first);
    EXPECT_EQ(texel(b, q, 1, 1), first);
    EXPECT_EQ(first, multiplyChannels(where(127, 127), 0xFF80FF40));
    EXPECT_NE(texel(b, q, 2, 2), first);
  }
  EXPECT_EQ(texel(b, 3, 2, 3), multiplyChannels(where(128, 128), 0xFF80FF40));
  EXPECT_EQ(texel(b, 1, 5, 4), multiplyChannels(where(129, 125), 0xFF80FF40));
  EXPECT_EQ(texel(b, 0, 255, 255), multiplyChannels(where(0, 0), 0xFF80FF40));
  EXPECT_EQ(texel(b, 3, 255, 254), multiplyChannels(where(254, 254), 0xFF80FF40));
}

TEST(BrushPicture, TheColourTintsThePicture) {
  Brushes t;
  t.platform.addResource("GREY", BINARYDATA_TYPE, rawPicture(511, 511, [](int x, int y) {
    return x == 255 && y == 255 ? 0xFF808080u : 0xFFFFFFFFu;
  }));
  const Brush& red = t.setup(0x40004, 0xFFFF0000, "GREY");
  for (int q = 0; q < 4; ++q) EXPECT_EQ(texel(red, q, 0, 0), 0x007F0000u);
  EXPECT_EQ(texel(red, 0, 0, 1), 0x00FE0000u);

  // A spot blending towards its colour is tinted blue whatever its colour.
  const Brush& spot = t.setup(0x30001, 0xFF00FF00, "GREY");
  EXPECT_EQ(texel(spot, 2, 9, 9), 0x000000FEu);
}

TEST(BrushPicture, Variant4ReadsThePictureAsAGreyMaskFromWhiteToTheColour) {
  Brushes t;
  // Blue 0 left of the centre column, 255 from it on; red must not matter.
  t.platform.addResource("MASK", BINARYDATA_TYPE, rawPicture(511, 511, [](int x, int) {
    return x < 255 ? 0xFF770000u : 0xFF7700FFu;
  }));
  const Brush& spot = t.setup(0x30004, 0xFF204080, "MASK");
  EXPECT_EQ(texel(spot, 0, 4, 1), 0x00FFFFFFu);
  EXPECT_EQ(texel(spot, 2, 200, 255), 0x00FFFFFFu);
  EXPECT_EQ(texel(spot, 1, 4, 1), 0x00204080u);
  EXPECT_EQ(texel(spot, 3, 0, 0), 0x00204080u);

  // A picture brush of variant 4 tints like every other.
  const Brush& picture = t.setup(0x40004, 0xFF204080, "MASK");
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
      // The generators' names are exact: any other spelling is a picture.
      {"compspot", "PSI: JPG Resource Not Found"},
  };
  for (const Case& c : cases) {
    Brushes t;
    t.platform.addResource("BROKEN", BINARYDATA_TYPE, {0, 1, 2, 3, 4, 5, 6, 7, 8});
    t.platform.addResource("SQUARE256", BINARYDATA_TYPE, rawPicture(256, 256, where));
    t.platform.addResource("FLAT511", BINARYDATA_TYPE, rawPicture(511, 40, where));
    EXPECT_THROW(t.setup(0x30000, 0xFFFFFFFF, c.name), RuntimeErrorStop) << c.name;
    ASSERT_EQ(t.platform.errorsShown.size(), 1u) << c.name;
    EXPECT_EQ(t.platform.errorsShown[0], c.error) << c.name;
    EXPECT_EQ(t.pictures.gdiplusUsers(), 0) << c.name;
    EXPECT_EQ(t.platform.starts, 1) << c.name;
    EXPECT_EQ(t.platform.stops, 1) << c.name;
    EXPECT_FALSE(t.pictures.hasPicture()) << c.name;
  }
}

TEST(BrushPicture, WrongCaseGeneratorNameLoadsAPictureAndTheTypeStaysBinaryData) {
  Brushes t;
  t.platform.addResource("COMPSPOT", BINARYDATA_TYPE, rawPicture(255, 255, [](int, int) { return 0xFF102030u; }));
  t.platform.addResource("LOGO", testing::BITMAP_TYPE, rawPicture(2, 2, where));
  EXPECT_EQ(t.pictures.resourceType, BITMAP_RESOURCE);
  const Brush& b = t.setup(0x30002, 0xFFFFFFFF, "compspot");
  EXPECT_EQ(texel(b, 1, 100, 100), multiplyChannels(0xFF102030u, 0xFFFFFFFFu));
  EXPECT_EQ(t.pictures.resourceType, BINARYDATA_RESOURCE);
  // A later load still looks among the brush pictures.
  EXPECT_EQ(t.pictures.loadPicture("LOGO"), 0);
  EXPECT_EQ(t.pictures.loadPicture("COMPSPOT"), 1);
}

TEST(BrushPicture, TheShippedFlareLoadsThroughTheHeadlessHost) {
  ImageBrushes<HeadlessPlatform> t(64, 64, programResources(), nullptr);
  const Brush& b = t.setup(0x40002, 0xFFFFFFFF, "star_flare");
  EXPECT_TRUE(t.platform.errorsShown().empty());
  auto bytes = t.platform.findResource("STAR_FLARE", RESOURCE_TYPE_BINARYDATA);
  DecodedPicture picture;
  ASSERT_TRUE(t.platform.decodePicture(bytes, picture));
  ASSERT_EQ(picture.width, 511);
  ASSERT_EQ(picture.height, 511);
  for (int q = 0; q < 4; ++q) EXPECT_EQ(texel(b, q, 0, 0), multiplyChannels(picture.pixels[255 * 511 + 255], 0xFFFFFFFF));
  EXPECT_EQ(texel(b, 3, 10, 20), multiplyChannels(picture.pixels[265 * 511 + 275], 0xFFFFFFFF));
  t.platform.freePicturePixels(picture);
}

}  // namespace
}  // namespace qv
