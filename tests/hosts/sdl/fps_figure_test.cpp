#include "hosts/sdl/fps_figure.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv::sdl {
namespace {

// Draws into a character picture: '.' unlit backing, '#' lit.
std::vector<std::string> render(std::string_view text, int width, int height) {
  std::vector<std::string> rows(static_cast<std::size_t>(height),
                                std::string(static_cast<std::size_t>(width), ' '));
  drawFpsText(text, height, [&](int x, int y, int w, int h, bool lit) {
    for (int r = y; r < y + h; ++r) {
      for (int c = x; c < x + w; ++c) {
        ASSERT_TRUE(r >= 0 && r < height && c >= 0 && c < width) << "drew outside at " << c << "," << r;
        rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = lit ? '#' : '.';
      }
    }
  });
  return rows;
}

TEST(FpsFigure, TheMeterCountsTheFramesOfTheLastWholeSecond) {
  FpsMeter meter;
  for (int i = 0; i < 25; ++i) meter.framePresented(1000 + static_cast<std::uint64_t>(i) * 40);
  EXPECT_EQ(meter.tenths(), 0);  // 960 ms so far
  meter.framePresented(2003);    // 26 frames over 1003 ms
  EXPECT_EQ(meter.tenths(), 259);
  EXPECT_EQ(fpsText(meter.tenths()), "FPS: 25.9");
  EXPECT_EQ(fpsText(249), "FPS: 24.9");
  EXPECT_EQ(fpsText(-5), "FPS: 0.0");
}

TEST(FpsFigure, TheTextSitsInTheTopLeftCornerAndGrowsWithTheScreen) {
  EXPECT_EQ(fpsCellSize(1080), 4);  // 28-pixel letters at 1080p
  EXPECT_EQ(fpsCellSize(150), 1);
  const std::string text = "FPS: 24.9";
  const int height = 300;
  const auto rows = render(text, 200, height);
  const TextBox box = fpsTextBox(text, fpsCellSize(height));
  EXPECT_EQ(std::tuple(box.x, box.y), std::tuple(1, 1));
  for (int r = 0; r < height; ++r) {
    for (int c = 0; c < 200; ++c) {
      const bool inside = c >= box.x && c < box.x + box.w && r >= box.y && r < box.y + box.h;
      EXPECT_EQ(rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] != ' ', inside)
          << c << "," << r;
    }
  }
  // The F: a full top row and a full left column of its 5 x 7 cells.
  const int top = box.y + 1;
  const int left = box.x + 1;
  EXPECT_EQ(rows[static_cast<std::size_t>(top)].substr(static_cast<std::size_t>(left), 6), "#####.");
  for (int r = top; r < top + 7; ++r)
    EXPECT_EQ(rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(left)], '#');
}

}  // namespace
}  // namespace qv::sdl
