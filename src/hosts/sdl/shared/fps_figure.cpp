#include "hosts/sdl/shared/fps_figure.h"

#include <algorithm>
#include <cstdio>

namespace qv::sdl {
namespace {

constexpr int GLYPH_COLUMNS = 5;
constexpr int GLYPH_ROWS = 7;
constexpr int GLYPH_ADVANCE = GLYPH_COLUMNS + 1;
// The surface height per font cell: four-pixel cells at 1080 rows.
constexpr int ROWS_PER_CELL = 270;
constexpr int MAX_CELL = 8;

struct Glyph {
  char c;
  unsigned char rows[GLYPH_ROWS];  // top first; bit 4 is the left cell
};

constexpr Glyph FONT[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}}, {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}}, {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
};

const Glyph* glyphOf(char c) {
  for (const Glyph& g : FONT) {
    if (g.c == c) return &g;
  }
  return nullptr;
}

}  // namespace

void FpsMeter::framePresented(std::uint64_t nowMs) {
  if (!started_) {
    started_ = true;
    since_ = nowMs;
  }
  ++frames_;
  const std::uint64_t elapsed = nowMs - since_;
  if (elapsed >= 1000) {
    tenths_ = static_cast<int>(static_cast<std::uint64_t>(frames_) * 10000 / elapsed);
    since_ = nowMs;
    frames_ = 0;
  }
}

std::string fpsText(int tenths) {
  tenths = std::max(tenths, 0);
  char text[32];
  std::snprintf(text, sizeof text, "FPS: %d.%d", tenths / 10, tenths % 10);
  return text;
}

int fpsCellSize(int surfaceHeight) { return std::clamp(surfaceHeight / ROWS_PER_CELL, 1, MAX_CELL); }

TextBox fpsTextBox(std::string_view text, int cell) {
  TextBox box;
  box.x = cell;
  box.y = cell;
  box.w = (static_cast<int>(text.size()) * GLYPH_ADVANCE + 1) * cell;
  box.h = (GLYPH_ROWS + 2) * cell;
  return box;
}

void drawFpsText(std::string_view text, int surfaceHeight,
                 const std::function<void(int, int, int, int, bool)>& fill) {
  const int cell = fpsCellSize(surfaceHeight);
  const TextBox box = fpsTextBox(text, cell);
  fill(box.x, box.y, box.w, box.h, false);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const Glyph* glyph = glyphOf(text[i]);
    if (glyph == nullptr) continue;
    const int left = box.x + (static_cast<int>(i) * GLYPH_ADVANCE + 1) * cell;
    for (int r = 0; r < GLYPH_ROWS; ++r) {
      for (int c = 0; c < GLYPH_COLUMNS; ++c) {
        if ((glyph->rows[r] >> (GLYPH_COLUMNS - 1 - c) & 1) != 0) {
          fill(left + c * cell, box.y + (r + 1) * cell, cell, cell, true);
        }
      }
    }
  }
}

}  // namespace qv::sdl
