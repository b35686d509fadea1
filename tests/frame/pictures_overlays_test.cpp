#include "frame/overlay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "frame/frame_buffer.h"
#include "frame/overlays.h"
#include "frame/picture_layer.h"
#include "frame/picture_test_support.h"
#include "frame/pixel_ops.h"
#include "ground/hook.h"
#include "ground/memory_blocks.h"
#include "ground/runtime_error.h"
#include "hosts/headless/headless_platform.h"

namespace qv {
namespace {

using testing::BINARYDATA_TYPE;
using testing::BITMAP_TYPE;
using testing::rawPicture;

// The program's overlays are colour pictures at their own size; masks and
// rescaling are left to the picture layer.
TEST(OverlayLoad, ColourPicturesAreTintedOnceAndOpaqueAndAMissingOneIsFatal) {
  testing::PictureTestPlatform platform;
  PictureLayer pictures{platform};
  OverlayLoader loader{platform, pictures};
  platform.addResource("LOGO", BITMAP_TYPE, rawPicture(3, 2, [](int x, int) {
                         return x == 0 ? 0xFFFFFFFFu : x == 1 ? 0x00000000u : 0x40808080u;
                       }));
  loader.overlayTint = 0xFF143250;
  auto logo = loader.createOverlay("Logo", "", KEEP_PICTURE_SIZE, KEEP_PICTURE_SIZE);
  EXPECT_EQ(std::tuple(logo->width, logo->height, logo->blendMode), std::tuple(3, 2, OVERLAY_ALPHA_BLEND));
  EXPECT_EQ(std::tuple(logo->pixels[0], logo->pixels[1], logo->pixels[5], loader.overlayTint),
            std::tuple(0xFF13314Fu, 0xFF000000u, 0xFF0A1928u, NO_OVERLAY_TINT));
  // Untinted: the picture less one step of 255.
  auto plain = loader.createOverlay("LOGO", "", KEEP_PICTURE_SIZE, KEEP_PICTURE_SIZE);
  EXPECT_EQ(std::tuple(plain->pixels[0], plain->pixels[2]), std::tuple(0xFFFEFEFEu, 0xFF7F7F7Fu));
  EXPECT_EQ(std::tuple(pictures.gdiplusUsers(), platform.starts), std::tuple(0, platform.stops));

  EXPECT_THROW(loader.createOverlay("LOGO", "NOMASK", KEEP_PICTURE_SIZE, KEEP_PICTURE_SIZE),
               RuntimeErrorStop);
  EXPECT_THROW(loader.createOverlay("NOTHERE", "", KEEP_PICTURE_SIZE, KEEP_PICTURE_SIZE), RuntimeErrorStop);
  EXPECT_EQ(platform.errorsShown, std::vector<std::string>(2, "JPG or BMP Resource Not Found"));
}

// A frame with a margin, filled with one colour, and an overlay made from a
// list of pixels.
struct Drawing {
  testing::TestPlatform platform;
  FrameBuffer fb{platform};
  Drawing(int w, int h, int margin, std::uint32_t fill) {
    fb.setFrameSize(w, h);
    fb.setMargins(margin, -1);
    fb.createFrameBuffers();
    std::fill(g().pixels, g().pixels + static_cast<std::size_t>(g().width) * g().height, fill);
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
    return static_cast<int>(g().width * g().height -
                            std::count(g().pixels, g().pixels + g().width * g().height, fill));
  }
};

TEST(OverlayDraw, EveryBlendModeCombinesAsItSaysAtItsPlace) {
  const std::uint32_t f = 0x00204060;
  const std::vector<std::uint32_t> o = {0xFFF0F0F0, 0xFF000000, 0x80FF0000,
                                        0x00FFFFFF, 0xFFFFFFFF, 0xFE000000};
  struct Case {
    std::int32_t mode;
    std::vector<std::uint32_t> expected;
  };
  const Case cases[] = {
      {1, {0xFFF0F0F0, 0xFF000000, 0x008F2030, f, 0xFFFFFFFF, 0x00000000}},
      {2, {0x00FFFFFF, f, 0x00FF4060, 0x00FFFFFF, 0x00FFFFFF, f}},
      {3, {0, f, 0x00004060, 0, 0, f}},
      {4, {f, f, f, f, f, f}},
      {6, {f, f, f, f, f, f}},
      {7, {f, 0, f, f, f, f}},
      {8, {f, f, f, f, 0x00FFFFFF, f}},
      {0, o},
      {9, o},
  };
  for (const Case& c : cases) {
    Drawing d(40, 30, 4, f);
    auto overlay = d.overlay(3, 2, o);
    // 5 pixels from the left and 3 above the bottom of the 32 x 22 inner
    // rectangle: columns 5 to 7 of rows 17 and 18.
    placeFromLeft(*overlay, d.g(), 5, 3, c.mode);
    drawOverlay(*overlay, d.g());
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(d.at(5 + i % 3, 17 + i / 3), c.expected[i]) << "mode " << c.mode << " pixel " << i;
    }
    EXPECT_EQ(d.countNot(f), static_cast<int>(6 - std::count(c.expected.begin(), c.expected.end(), f)));
  }
  Drawing d(40, 30, 4, f);
  auto logo = d.overlay(3, 2, o);
  placeFromRight(*logo, d.g(), 5, 3, KEEP_BLEND_MODE);
  EXPECT_EQ(std::tuple(logo->left, logo->top, logo->right, logo->bottom, logo->blendMode),
            std::tuple(32 - 3 - 5, 17, 26, 18, OVERLAY_ALPHA_BLEND));
}

TEST(OverlayDraw, AnOverlayLargerThanTheFrameIsCutAtTheInnerRectangle) {
  std::vector<std::uint32_t> pixels(553 * 13);
  for (int i = 0; i < 553 * 13; ++i) pixels[i] = 0xFF000000u | static_cast<std::uint32_t>(i % 553 + 1);
  for (int side = 0; side < 2; ++side) {
    Drawing d(120, 20, 2, 0);  // inner 116 x 16
    auto legend = d.overlay(553, 13, pixels);
    side == 0 ? placeFromLeft(*legend, d.g(), 24, 8, 2) : placeFromRight(*legend, d.g(), 24, 8, 2);
    drawOverlay(*legend, d.g());
    // The top five rows lie above the rectangle; the rest runs off the right
    // edge (placed from the left) or the left edge (from the right).
    const int first = side == 0 ? 24 : 0;
    const int end = side == 0 ? 116 : 116 - 24;
    EXPECT_EQ(d.countNot(0), (end - first) * 8);
    for (int y = 0; y < 8; ++y) {
      for (int x = first; x < end; ++x)
        ASSERT_EQ(d.at(x, y), static_cast<std::uint32_t>(x - legend->left + 1));
    }
  }
  Drawing d(40, 40, 0, 0);
  auto off = d.overlay(2, 2, {1, 2, 3, 4});
  placeFromLeft(*off, d.g(), 60, 8, 0);  // wholly outside: nothing drawn
  drawOverlay(*off, d.g());
  placeFromLeft(*off, d.g(), 0, -50, 0);
  drawOverlay(*off, d.g());
  EXPECT_EQ(d.countNot(0), 0);
}

// The program's logo and legend, from its own embedded bitmaps, added onto a
// black 1280 x 1024 frame: the logo 32 pixels from the right, the legend 24
// from the left, both 8 above the bottom, the legend until its timer fires
// or until it is left out.
TEST(ProgramOverlays, TheTintedLogoAndTheLegendUntilItsTimerFires) {
  // Once with the legend left out as the first frame is drawn.
  for (const bool leftOut : {false, true}) {
    HeadlessPlatform platform(1280, 1024, programResources(), nullptr);
    PictureLayer pictures{platform};
    FrameBuffer fb{platform};
    Overlays overlays{platform, pictures, fb};
    fb.setFrameSize(1280, 1024);
    fb.createFrameBuffers();
    const FrameBufferGeometry& g = fb.geometry();
    overlays.setupOverlays();
    platform.startTimer(LEGEND_TIMER, 10000);
    const Hook frameHook = Hook::member<&Overlays::drawOverlays>(&overlays);

    DecodedPicture logoPicture;
    ASSERT_TRUE(
        platform.decodePicture(platform.findResource("QUORVALENT", RESOURCE_TYPE_BITMAP), logoPicture));
    const Overlay& logo = *overlays.logo();
    const Overlay& legend = *overlays.legend();
    EXPECT_EQ(std::tuple(logo.width, logo.height, legend.width, legend.height), std::tuple(159, 12, 553, 13));
    for (int i = 0; i < 159 * 12; ++i) {
      ASSERT_EQ(logo.pixels[i], 0xFF000000u | multiplyChannels(logoPicture.pixels[i], LOGO_TINT)) << i;
    }
    platform.freePicturePixels(logoPicture);

    // Whether each pixel of the frame is the overlay added onto black where it
    // lies, and black elsewhere.
    const auto frameShows = [&](bool withLegend) {
      for (int y = 0; y < 1024; ++y) {
        for (int x = 0; x < 1280; ++x) {
          std::uint32_t expected = 0;
          if (x >= 1089 && x < 1089 + 159 && y >= 1004 && y < 1004 + 12) {
            expected = addSaturate(0, logo.pixels[(y - 1004) * 159 + x - 1089]);
          }
          if (withLegend && x >= 24 && x < 24 + 553 && y >= 1003 && y < 1003 + 13) {
            expected = addSaturate(0, legend.pixels[(y - 1003) * 553 + x - 24]);
          }
          if (g.pixels[g.rowStart[y] + x] != expected) return false;
        }
      }
      return true;
    };
    std::fill(g.pixels, g.pixels + 1280 * 1024, 0u);
    frameHook();
    EXPECT_TRUE(frameShows(true));
    EXPECT_TRUE(std::any_of(legend.pixels.data(), legend.pixels.data() + 553 * 13,
                            [](std::uint32_t p) { return p != 0xFF000000u; }));
    if (leftOut) {  // the logo alone, before the legend's timer fires
      overlays.leaveOutLegend();
      std::fill(g.pixels, g.pixels + 1280 * 1024, 0u);
      frameHook();
      EXPECT_TRUE(frameShows(false));
      EXPECT_EQ(overlays.legend(), nullptr);
      overlays.destroyOverlays();
      continue;
    }

    platform.sleepMilliseconds(10000);
    for (int frame = 0; frame < 2; ++frame) {
      std::fill(g.pixels, g.pixels + 1280 * 1024, 0u);
      frameHook();
      EXPECT_TRUE(frameShows(false));
    }
    EXPECT_EQ(platform.stopTimer(LEGEND_TIMER), 0);  // stopped on the first frame after it fired
    overlays.destroyOverlays();
    EXPECT_EQ(std::tuple(overlays.logo(), overlays.legend(), pictures.gdiplusUsers()),
              std::tuple(nullptr, nullptr, 0));
  }
}

TEST(PictureLayer, SupportStartsAndStopsByUseCountAndItsAbsenceIsFatal) {
  testing::PictureTestPlatform platform;
  PictureLayer pictures(platform);
  pictures.startGdiplus();
  pictures.startGdiplus();
  pictures.stopGdiplus();
  EXPECT_EQ(std::tuple(pictures.gdiplusUsers(), platform.starts, platform.stops), std::tuple(1, 1, 0));
  pictures.stopGdiplus();
  pictures.stopGdiplus();  // with no use open: nothing
  EXPECT_EQ(std::tuple(pictures.gdiplusUsers(), platform.stops), std::tuple(0, 1));

  platform.supportPresent = false;
  EXPECT_THROW(pictures.startGdiplus(), RuntimeErrorStop);
  EXPECT_EQ(platform.errorsShown, std::vector<std::string>{"GDI+ (WindowsXP or later) support not present"});
}

TEST(PictureLayer, LoadsUnderTheCurrentTypeAndLocksTopRowFirst) {
  testing::TestPlatform platform;
  platform.addResource("PIC", BITMAP_TYPE,
                       rawPicture(3, 2, [](int x, int y) { return 0xFF000000u | (y * 16 + x); }));
  platform.addResource("DATA", BINARYDATA_TYPE, rawPicture(1, 1, [](int, int) { return 0x12345678u; }));
  platform.addResource("BROKEN", BITMAP_TYPE, {1, 2, 3});
  PictureLayer pictures(platform);
  EXPECT_EQ(pictures.loadPicture("pic"), 1);
  pictures.lockPicture();
  EXPECT_EQ(std::tuple(pictures.pictureWidth(), pictures.pictureHeight(), pictures.pictureBytes()),
            std::tuple(3, 2, 24));
  EXPECT_EQ(std::tuple(pictures.picturePixels()[0], pictures.picturePixels()[4]),
            std::tuple(0xFF000000u, 0xFF000011u));
  pictures.unlockPicture();
  EXPECT_EQ(pictures.picturePixels(), nullptr);

  // Not there under this type, or not a picture: nothing is held.
  EXPECT_EQ(pictures.loadPicture("DATA"), 0);
  EXPECT_FALSE(pictures.hasPicture());
  EXPECT_EQ(pictures.loadPicture("BROKEN"), 0);
  pictures.resourceType = BINARYDATA_RESOURCE;
  EXPECT_EQ(pictures.loadPicture("data"), 1);
  EXPECT_EQ(pictures.loadPicture("PIC"), 0);
  EXPECT_FALSE(pictures.hasPicture());
}

}  // namespace
}  // namespace qv
