#include "frame/overlays.h"

#include <gtest/gtest.h>

#include <tuple>

#include <algorithm>

#include "frame/frame_buffer.h"
#include "frame/picture_layer.h"
#include "frame/pixel_ops.h"
#include "hosts/headless/headless_platform.h"
#include "ground/hook.h"

namespace qv {
namespace {

// The program's overlays over its own embedded bitmaps, on a black frame.
struct ProgramOverlays {
  HeadlessPlatform platform;
  PictureLayer pictures{platform};
  FrameBuffer fb{platform};
  Overlays overlays{platform, pictures, fb};
  ProgramOverlays(int w, int h) : platform(w, h, programResources(), nullptr) {
    fb.setFrameSize(w, h);
    fb.createFrameBuffers();
    clear();
  }
  void clear() {
    const auto& g = fb.geometry();
    std::fill(g.pixels, g.pixels + static_cast<std::size_t>(g.width) * g.height, 0u);
  }
  std::uint32_t at(int x, int y) const { return fb.geometry().pixels[fb.geometry().rowStart[y] + x]; }
  // The picture as decoded, for comparison.
  std::vector<std::uint32_t> decoded(const char* name, int& w, int& h) {
    DecodedPicture p;
    EXPECT_TRUE(platform.decodePicture(platform.findResource(name, RESOURCE_TYPE_BITMAP), p));
    w = p.width;
    h = p.height;
    std::vector<std::uint32_t> out(p.pixels, p.pixels + static_cast<std::size_t>(w) * h);
    platform.freePicturePixels(p);
    return out;
  }
  // Whether the overlay's pixels were added at (left, top) of the inner rectangle.
  bool drawnAt(const Overlay& o, int left, int top) const {
    for (int y = 0; y < o.height; ++y) {
      for (int x = 0; x < o.width; ++x) {
        if (at(left + x, top + y) != addSaturate(0, o.pixels[y * o.width + x])) return false;
      }
    }
    return true;
  }
  bool blankAt(int left, int top, int w, int h) const {
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        if (at(left + x, top + y) != 0) return false;
      }
    }
    return true;
  }
};

TEST(ProgramOverlays, LogoIsTintedAndLegendKeepsItsColours) {
  ProgramOverlays t(1280, 1024);
  t.overlays.setupOverlays();
  ASSERT_TRUE(t.platform.errorsShown().empty());
  EXPECT_EQ(t.pictures.resourceType, BITMAP_RESOURCE);
  EXPECT_EQ(t.overlays.loader().overlayTint, NO_OVERLAY_TINT);
  EXPECT_EQ(t.pictures.gdiplusUsers(), 0);

  int w = 0;
  int h = 0;
  const auto logoPicture = t.decoded("QUORVALENT", w, h);
  const Overlay* logo = t.overlays.logo();
  ASSERT_NE(logo, nullptr);
  ASSERT_EQ(logo->width, 159);
  ASSERT_EQ(logo->height, 12);
  ASSERT_EQ(w, 159);
  for (int i = 0; i < w * h; ++i) {
    ASSERT_EQ(logo->pixels[i], 0xFF000000u | multiplyChannels(logoPicture[i], LOGO_TINT)) << i;
  }
  const auto legendPicture = t.decoded("CONTROL_INFO", w, h);
  const Overlay* legend = t.overlays.legend();
  ASSERT_NE(legend, nullptr);
  ASSERT_EQ(legend->width, 553);
  ASSERT_EQ(legend->height, 13);
  bool sawWhite = false;
  for (int i = 0; i < w * h; ++i) {
    ASSERT_EQ(legend->pixels[i], 0xFF000000u | multiplyChannels(legendPicture[i], NO_OVERLAY_TINT)) << i;
    if ((legendPicture[i] & 0xFFFFFFu) == 0xFFFFFFu) {
      sawWhite = true;
      EXPECT_EQ(legend->pixels[i], 0xFFFEFEFEu);
    }
  }
  EXPECT_TRUE(sawWhite);

  t.overlays.destroyOverlays();
  EXPECT_EQ(t.overlays.logo(), nullptr);
  EXPECT_EQ(t.overlays.legend(), nullptr);
}

TEST(ProgramOverlays, LegendIsDrawnUntilItsTimerFires) {
  ProgramOverlays t(1280, 1024);
  t.overlays.setupOverlays();
  const Hook frameHook = Hook::member<&Overlays::drawOverlays>(&t.overlays);
  t.platform.startTimer(LEGEND_TIMER, 10000);

  frameHook();
  // The logo 32 pixels from the right, the legend 24 from the left, both 8
  // pixels above the bottom, added onto the frame.
  EXPECT_EQ(t.overlays.logo()->left, 1280 - 159 - 32);
  EXPECT_EQ(t.overlays.logo()->top, 1024 - 12 - 8);
  EXPECT_EQ(t.overlays.logo()->blendMode, OVERLAY_ADD);
  EXPECT_TRUE(t.drawnAt(*t.overlays.logo(), 1089, 1004));
  EXPECT_TRUE(t.drawnAt(*t.overlays.legend(), 24, 1003));
  EXPECT_FALSE(t.blankAt(24, 1003, 553, 13));

  t.platform.sleepMilliseconds(10000);
  for (int frame = 0; frame < 2; ++frame) {
    t.clear();
    frameHook();
    EXPECT_TRUE(t.drawnAt(*t.overlays.logo(), 1089, 1004));
    EXPECT_TRUE(t.blankAt(24, 1003, 553, 13));
  }
  // The timer was stopped on the first frame after it fired.
  EXPECT_EQ(t.platform.stopTimer(LEGEND_TIMER), 0);
}

TEST(ProgramOverlays, AFrameSmallerThanTheLegendIsDrawnOnlyWhereItFits) {
  // 300 x 16: the legend (553 x 13, from column 24) runs off the right edge
  // and above the top; the logo runs off the top.
  ProgramOverlays t(300, 16);
  t.overlays.setupOverlays();
  t.overlays.drawOverlays();
  const Overlay& legend = *t.overlays.legend();
  EXPECT_EQ(legend.top, 16 - 13 - 8);
  const Overlay& logo = *t.overlays.logo();
  EXPECT_EQ(std::tuple(logo.left, logo.top), std::tuple(300 - 159 - 32, 16 - 12 - 8));
  // Rows 0 ... 7 hold the overlays' lower rows (the logo added under the
  // legend where they meet); rows 8 ... 15 lie below both.
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 300; ++x) {
      std::uint32_t expected = 0;
      if (y <= 7) {
        if (x >= logo.left && x <= logo.right) {
          expected = addSaturate(expected, logo.pixels[(y - logo.top) * logo.width + (x - logo.left)]);
        }
        if (x >= 24) expected = addSaturate(expected, legend.pixels[(y - legend.top) * legend.width + (x - 24)]);
      }
      ASSERT_EQ(t.at(x, y), expected) << x << " " << y;
    }
  }
  EXPECT_FALSE(t.blankAt(24, 0, 80, 8));
}

}  // namespace
}  // namespace qv
