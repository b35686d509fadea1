#include "frame/overlay.h"

#include <gtest/gtest.h>

#include <tuple>

#include <vector>

#include "frame/frame_buffer.h"
#include "frame/picture_layer.h"
#include "frame/picture_test_support.h"
#include "frame/pixel_ops.h"
#include "ground/memory_blocks.h"
#include "ground/runtime_error.h"

namespace qv {
namespace {

using testing::BITMAP_TYPE;
using testing::rawPicture;

struct Loading {
  testing::PictureTestPlatform platform;
  PictureLayer pictures{platform};
  OverlayLoader loader{platform, pictures};
};

TEST(OverlayLoad, ColourPicturesAreTintedAndOpaqueAndTheTintIsResetAfterwards) {
  Loading t;
  t.platform.addResource("LOGO", BITMAP_TYPE, rawPicture(3, 2, [](int x, int) {
    return x == 0 ? 0xFFFFFFFFu : x == 1 ? 0x00000000u : 0x40808080u;
  }));
  t.loader.overlayTint = 0xFF143250;
  auto logo = t.loader.createOverlay("Logo", "", KEEP_PICTURE_SIZE, KEEP_PICTURE_SIZE);
  ASSERT_NE(logo->pixels, nullptr);
  EXPECT_EQ(std::tuple(logo->width, logo->height, logo->blendMode), std::tuple(3, 2, OVERLAY_ALPHA_BLEND));
  EXPECT_EQ(logo->pixels[0], 0xFF13314Fu);  // white becomes (19, 49, 79)
  EXPECT_EQ(std::tuple(logo->pixels[1], logo->pixels[5], t.loader.overlayTint),
            std::tuple(0xFF000000u, 0xFF0A1928u, NO_OVERLAY_TINT));

  // The next load takes the picture as it is, less one step of 255.
  auto plain = t.loader.createOverlay("LOGO", "", KEEP_PICTURE_SIZE, KEEP_PICTURE_SIZE);
  EXPECT_EQ(plain->pixels[0], 0xFFFEFEFEu);
  EXPECT_EQ(t.pictures.gdiplusUsers(), 0);
  EXPECT_EQ(t.platform.starts, t.platform.stops);

  // A size other than -1 rescales the picture.
  EXPECT_EQ(t.loader.loadOverlay(*plain, "LOGO", "", 6, 5), 1);
  EXPECT_EQ(std::tuple(plain->width, plain->height, plain->pixels[6 * 5 - 1]), std::tuple(6, 5, 0xFF7F7F7Fu));
  destroyOverlay(plain);
  EXPECT_EQ(plain, nullptr);
}

TEST(OverlayLoad, TheMaskGivesAlphaFromItsBlueByte) {
  Loading t;
  t.platform.addResource("COLOUR", BITMAP_TYPE, rawPicture(3, 2, [](int, int) { return 0xFF808080u; }));
  t.platform.addResource("MASK", BITMAP_TYPE, rawPicture(3, 2, [](int x, int y) {
    return 0xFF123400u | static_cast<std::uint32_t>(x * 40 + y);
  }));
  t.platform.addResource("SMALLMASK", BITMAP_TYPE, rawPicture(2, 1, [](int, int) { return 0xFF000010u; }));

  auto both = t.loader.createOverlay("COLOUR", "MASK", KEEP_PICTURE_SIZE, KEEP_PICTURE_SIZE);
  EXPECT_EQ(std::tuple(both->pixels[0], both->pixels[2], both->pixels[4]),
            std::tuple(0x007F7F7Fu, 0x507F7F7Fu, 0x297F7F7Fu));

  // Without a colour picture, the mask and the tint make the overlay.
  t.loader.overlayTint = 0x00336699;
  auto maskOnly = t.loader.createOverlay("", "MASK", KEEP_PICTURE_SIZE, KEEP_PICTURE_SIZE);
  EXPECT_EQ(std::tuple(maskOnly->width, maskOnly->pixels[1], t.loader.overlayTint),
            std::tuple(3, 0x28336699u, NO_OVERLAY_TINT));

  // A mask smaller than the colour picture touches only what it covers.
  auto partly = t.loader.createOverlay("COLOUR", "SMALLMASK", KEEP_PICTURE_SIZE, KEEP_PICTURE_SIZE);
  EXPECT_EQ(std::tuple(partly->pixels[1], partly->pixels[2], partly->pixels[3]),
            std::tuple(0x107F7F7Fu, 0xFF7F7F7Fu, 0xFF7F7F7Fu));
  EXPECT_EQ(t.pictures.gdiplusUsers(), 0);
}

TEST(OverlayLoad, AMissingPictureIsFatal) {
  for (const char* mask : {"", "NOMASK"}) {
    Loading t;
    t.platform.addResource("COLOUR", BITMAP_TYPE, rawPicture(1, 1, [](int, int) { return 0xFF000000u; }));
    const char* colour = mask[0] == 0 ? "NOTHERE" : "COLOUR";
    EXPECT_THROW(t.loader.createOverlay(colour, mask, KEEP_PICTURE_SIZE, KEEP_PICTURE_SIZE), RuntimeErrorStop);
    ASSERT_EQ(t.platform.errorsShown.size(), 1u);
    EXPECT_EQ(t.platform.errorsShown[0], "JPG or BMP Resource Not Found");
  }
}

// A frame with a 4-pixel margin, cleared to one colour, and an overlay made
// from a list of pixels.
struct Drawing {
  testing::TestPlatform platform;
  FrameBuffer fb{platform};
  Drawing(int w, int h, int margin, std::uint32_t fill) {
    fb.setFrameSize(w, h);
    fb.setMargins(margin, -1);
    fb.createFrameBuffers();
    const auto& g = fb.geometry();
    std::fill(g.pixels, g.pixels + static_cast<std::size_t>(g.width) * g.height, fill);
  }
  const FrameBufferGeometry& g() const { return fb.geometry(); }
  // Inner coordinates, row 0 at the top.
  std::uint32_t at(int x, int y) const { return g().pixels[g().rowStart[y] + x]; }
  std::unique_ptr<Overlay> overlay(int w, int h, const std::vector<std::uint32_t>& pixels) {
    auto o = std::make_unique<Overlay>();
    o->width = w;
    o->height = h;
    o->pixels.allocate(platform, pixels.size(), ALIGNMENT_16, FILL_NONE);
    std::copy(pixels.begin(), pixels.end(), o->pixels.begin());
    return o;
  }
  int countNot(std::uint32_t fill) const {
    int n = 0;
    for (int i = 0; i < g().width * g().height; ++i) n += g().pixels[i] != fill ? 1 : 0;
    return n;
  }
};

TEST(OverlayDraw, PlacementCountsFromTheLowerCornersOfTheInnerRectangle) {
  Drawing d(1280, 1024, 0, 0);
  auto logo = d.overlay(100, 20, std::vector<std::uint32_t>(2000, 0));
  placeFromRight(*logo, d.g(), 32, 8, 2);
  EXPECT_EQ(std::tuple(logo->left, logo->top, logo->right, logo->bottom, logo->blendMode),
            std::tuple(1148, 996, 1247, 1015, 2));
  placeFromLeft(*logo, d.g(), 24, 8, KEEP_BLEND_MODE);
  EXPECT_EQ(std::tuple(logo->left, logo->right, logo->top, logo->blendMode), std::tuple(24, 123, 996, 2));
}

TEST(OverlayDraw, EveryBlendModeCombinesAsItSays) {
  const std::uint32_t f = 0x00204060;
  const std::vector<std::uint32_t> o = {0xFFF0F0F0, 0xFF000000, 0x80FF0000, 0x00FFFFFF, 0xFFFFFFFF, 0xFE000000};
  struct Case {
    std::int32_t mode;
    std::vector<std::uint32_t> expected;
  };
  const Case cases[] = {
      {1, {0xFFF0F0F0, 0xFF000000, 0x008F2030, f, 0xFFFFFFFF, 0x00000000}},
      {2, {0x00FFFFFF, f, 0x00FF4060, 0x00FFFFFF, 0x00FFFFFF, f}},
      {3, {0, f, 0x00004060, 0, 0, f}},
      {4, {f, f, f, f, f, f}},
      {5, {f, f, f, f, f, f}},
      {6, {f, f, f, f, f, f}},
      {7, {f, 0, f, f, f, f}},
      {8, {f, f, f, f, 0x00FFFFFF, f}},
      {0, o},
      {9, o},
  };
  for (const Case& c : cases) {
    Drawing d(40, 30, 4, f);
    auto overlay = d.overlay(3, 2, o);
    placeFromLeft(*overlay, d.g(), 5, 3, c.mode);
    // Rows 17 and 18 of the 22-row inner rectangle, columns 5 to 7.
    ASSERT_EQ(overlay->top, 17);
    drawOverlay(*overlay, d.g());
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(d.at(5 + i % 3, 17 + i / 3), c.expected[i]) << "mode " << c.mode << " pixel " << i;
    }
    int changed = 0;
    for (std::uint32_t e : c.expected) changed += e != f ? 1 : 0;
    EXPECT_EQ(d.countNot(f), changed) << "mode " << c.mode;
  }
}

TEST(OverlayDraw, AnOverlayLargerThanTheFrameIsCutAtTheInnerRectangle) {
  // A legend-sized overlay on a frame smaller than it, placed off every edge.
  std::vector<std::uint32_t> pixels(553 * 13);
  for (int i = 0; i < 553 * 13; ++i) pixels[i] = 0xFF000000u | static_cast<std::uint32_t>(i % 553 + 1);
  for (int side = 0; side < 2; ++side) {
    Drawing d(120, 20, 2, 0);
    auto legend = d.overlay(553, 13, pixels);
    if (side == 0) {
      placeFromLeft(*legend, d.g(), 24, 8, 2);
    } else {
      placeFromRight(*legend, d.g(), 24, 8, 2);
    }
    ASSERT_EQ(legend->top, -5);
    drawOverlay(*legend, d.g());
    // The inner rectangle is 116 x 16: the overlay's top five rows lie above
    // it, and it runs off the right edge (from the left) or the left edge
    // (24 pixels from the right).
    const int first = side == 0 ? 24 : 0;
    const int end = side == 0 ? 116 : 116 - 24;
    EXPECT_EQ(d.countNot(0), (end - first) * 8);
    for (int y = 0; y < 8; ++y) {
      for (int x = first; x < end; ++x) {
        ASSERT_EQ(d.at(x, y), static_cast<std::uint32_t>(x - legend->left + 1)) << x << " " << y;
      }
    }
  }
  // Wholly outside: nothing drawn.
  Drawing d(40, 40, 0, 0);
  auto off = d.overlay(2, 2, {1, 2, 3, 4});
  placeFromLeft(*off, d.g(), 60, 8, 0);
  drawOverlay(*off, d.g());
  placeFromLeft(*off, d.g(), 0, -50, 0);
  drawOverlay(*off, d.g());
  EXPECT_EQ(d.countNot(0), 0);
}

}  // namespace
}  // namespace qv
