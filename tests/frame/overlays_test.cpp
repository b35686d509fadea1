#include "frame/overlays.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "frame/frame_buffer.h"
#include "frame/picture_layer.h"
#include "frame/pixel_ops.h"
#include "ground/hook.h"
#include "hosts/headless/headless_platform.h"

namespace qv {
namespace {

// The program's logo and legend, from its own embedded bitmaps, added onto a
// black 1280 x 1024 frame: the logo 32 pixels from the right, the legend 24
// from the left, both 8 above the bottom, the legend until its timer fires.
TEST(ProgramOverlays, TheTintedLogoAndTheLegendUntilItsTimerFires) {
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
  ASSERT_TRUE(platform.decodePicture(platform.findResource("QUORVALENT", RESOURCE_TYPE_BITMAP), logoPicture));
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

}  // namespace
}  // namespace qv
