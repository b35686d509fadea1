#include "hosts/sdl/fps_digits.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv::sdl {
namespace {

// Draws into a character picture: '.' unlit backing, '#' lit.
std::vector<std::string> render(int value, int width, int height) {
  std::vector<std::string> rows(static_cast<std::size_t>(height), std::string(static_cast<std::size_t>(width), ' '));
  drawFps(value, width, [&](int x, int y, int w, int h, bool lit) {
    for (int r = y; r < y + h; ++r) {
      for (int c = x; c < x + w; ++c) {
        ASSERT_TRUE(r >= 0 && r < height && c >= 0 && c < width) << "drew outside at " << c << "," << r;
        rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = lit ? '#' : '.';
      }
    }
  });
  return rows;
}

TEST(FpsDigits, TheFigureSitsInTheTopRightCornerInsideItsBox) {
  const int width = 100;
  const DigitBox box = fpsBox(25, width);
  EXPECT_EQ(box.x + box.w, width - FPS_CELL);
  EXPECT_EQ(box.y, FPS_CELL);
  const auto rows = render(25, width, 40);
  for (int r = 0; r < 40; ++r) {
    for (int c = 0; c < width; ++c) {
      const bool inside = c >= box.x && c < box.x + box.w && r >= box.y && r < box.y + box.h;
      EXPECT_EQ(rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] != ' ', inside) << c << "," << r;
    }
  }
}

TEST(FpsDigits, DigitsAreReadable) {
  // The first font row of each digit, left to right, tells most of them apart;
  // "1" and "4" differ in their left cell.
  const auto one = render(1, 60, 30);
  const auto four = render(4, 60, 30);
  const DigitBox box = fpsBox(1, 60);
  const int top = box.y + FPS_CELL;
  const int left = box.x + FPS_CELL;
  EXPECT_EQ(one[static_cast<std::size_t>(top)][static_cast<std::size_t>(left)], '.');
  EXPECT_EQ(four[static_cast<std::size_t>(top)][static_cast<std::size_t>(left)], '#');
  // More digits widen the box leftwards.
  EXPECT_LT(fpsBox(1000, 60).x, fpsBox(7, 60).x);
  EXPECT_EQ(fpsBox(-3, 60).w, fpsBox(0, 60).w);
}

}  // namespace
}  // namespace qv::sdl
