#include "hosts/sdl/fps_digits.h"

#include <string>

namespace qv::sdl {
namespace {

// Rows of each digit, top first; bit 2 is the left cell.
constexpr unsigned char DIGIT_ROWS[10][FPS_DIGIT_ROWS] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

}  // namespace

DigitBox fpsBox(int value, int width) {
  const int digits = static_cast<int>(std::to_string(value < 0 ? 0 : value).size());
  DigitBox box;
  box.w = (digits * FPS_DIGIT_COLUMNS + 1) * FPS_CELL;
  box.h = (FPS_DIGIT_ROWS + 2) * FPS_CELL;
  box.x = width - box.w - FPS_CELL;
  box.y = FPS_CELL;
  return box;
}

void drawFps(int value, int width, const std::function<void(int, int, int, int, bool)>& fill) {
  const std::string text = std::to_string(value < 0 ? 0 : value);
  const DigitBox box = fpsBox(value, width);
  fill(box.x, box.y, box.w, box.h, false);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int left = box.x + (static_cast<int>(i) * FPS_DIGIT_COLUMNS + 1) * FPS_CELL;
    const auto& rows = DIGIT_ROWS[text[i] - '0'];
    for (int r = 0; r < FPS_DIGIT_ROWS; ++r) {
      for (int c = 0; c < 3; ++c) {
        if ((rows[r] >> (2 - c) & 1) != 0) {
          fill(left + c * FPS_CELL, box.y + (r + 1) * FPS_CELL, FPS_CELL, FPS_CELL, true);
        }
      }
    }
  }
}

}  // namespace qv::sdl
