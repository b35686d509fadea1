#pragma once
// The -fps figure as X screen-saver users know it: "FPS: 24.9", the frames
// shown over the last whole second, in the top-left corner (the controls
// legend owns the bottom-left). A built-in 5 x 7 font, each font cell a
// square block of pixels that grows with the surface, so the figure reads at
// 1080p; drawn through a fill callback so that it fits any surface format.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qv::sdl {

class FpsMeter {
 public:
  // A frame reached the screen at `nowMs` (a millisecond clock).
  void framePresented(std::uint64_t nowMs);
  // Frames per second in tenths, over the last whole second; 0 before one.
  int tenths() const { return tenths_; }

 private:
  std::uint64_t since_ = 0;
  bool started_ = false;
  int frames_ = 0;
  int tenths_ = 0;
};

// "FPS: 24.9".
std::string fpsText(int tenths);

struct TextBox {
  int x = 0, y = 0, w = 0, h = 0;
};

// Pixels per font cell on a surface `surfaceHeight` pixels high.
int fpsCellSize(int surfaceHeight);

// The black backing box of `text` in the top-left corner.
TextBox fpsTextBox(std::string_view text, int cell);

// Fills the backing black, then the lit cells of `text` white:
// `fill(x, y, w, h, lit)` does the filling. Characters outside the font
// ("0-9 F P S : ." and the blank) are left blank.
void drawFpsText(std::string_view text, int surfaceHeight,
                 const std::function<void(int, int, int, int, bool)>& fill);

}  // namespace qv::sdl
