#include <gtest/gtest.h>

#include <vector>

#include "frame/frame_buffer.h"
#include "support/test_platform.h"

namespace qv {
namespace {

// Draws a distinct colour into every inner pixel through the row table.
void paintPattern(const FrameBufferGeometry& g) {
  for (int y = 0; y <= g.maxRow; ++y) {
    for (int x = 0; x <= g.maxColumn; ++x) {
      g.pixels[g.rowStart[y] + x] = static_cast<std::uint32_t>(y * 256 + x + 1);
    }
  }
}

// Runs one half-size frame on a w x h buffer and checks the doubled picture:
// drawing row y, column x of the full frame shows half pixel (y / 2, x / 2),
// the odd last row or column repeating its neighbour.
void checkDoubling(int w, int h) {
  SCOPED_TRACE(::testing::Message() << w << " x " << h);
  testing::TestPlatform platform;
  FrameBuffer fb(platform);
  fb.setFrameSize(w, h);
  fb.createFrameBuffers();
  std::uint32_t* fullPixels = fb.geometry().pixels;
  fb.halfResRequested = 1;
  fb.beginHalfResFrame();
  const auto& half = fb.geometry();
  ASSERT_EQ(half.width, w / 2);
  ASSERT_EQ(half.height, h / 2);
  ASSERT_NE(half.pixels, fullPixels);
  EXPECT_EQ(fb.swapPending(), 1);
  paintPattern(half);
  fb.endHalfResFrame();

  const auto& full = fb.geometry();
  ASSERT_EQ(full.width, w);
  ASSERT_EQ(full.pixels, fullPixels);
  EXPECT_EQ(fb.swapPending(), 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      // The top picture row of an odd height is the extra memory row.
      const int fromBottom = h - 1 - y;
      const int halfFromBottom = std::min(fromBottom / 2, h / 2 - 1);
      const int hy = h / 2 - 1 - halfFromBottom;
      const int hx = std::min(x / 2, w / 2 - 1);
      ASSERT_EQ(full.pixels[full.rowStart[y] + x], static_cast<std::uint32_t>(hy * 256 + hx + 1))
          << x << "," << y;
    }
  }
}

TEST(HalfResolution, DoublesEvenAndOddFrames) {
  checkDoubling(8, 6);
  checkDoubling(7, 6);
  checkDoubling(8, 5);
  checkDoubling(9, 7);
  checkDoubling(3, 3);
}

}  // namespace
}  // namespace qv
