#pragma once
// The "-fps" figure: a number drawn with a tiny built-in 3 x 5 digit font,
// each font cell a square block of pixels, through a fill callback so that
// it draws into any surface format.

#include <functional>

namespace qv::sdl {

inline constexpr int FPS_CELL = 3;         // pixels per font cell
inline constexpr int FPS_DIGIT_COLUMNS = 4;  // 3 cells and a gap
inline constexpr int FPS_DIGIT_ROWS = 5;

struct DigitBox {
  int x = 0, y = 0, w = 0, h = 0;
};

// The box that `value` (>= 0) takes at the top-right corner of a
// width-pixel-wide surface, with a margin of one cell and a black backing.
DigitBox fpsBox(int value, int width);

// Fills the backing black, then the lit cells of the number white, in the
// box given by fpsBox. `fill(x, y, w, h, white)` does the filling.
void drawFps(int value, int width, const std::function<void(int, int, int, int, bool)>& fill);

}  // namespace qv::sdl
