#pragma once
// Bitmap fonts defined as glyph tables in code. A glyph is written as its
// rows separated by '|': '#' full ink, '+' half ink (for smoothed corners and
// diagonals), '.' nothing. Rows below the last given one are empty, so
// capitals need not spell out the descender rows.

#include <cstdint>
#include <map>
#include <span>
#include <string_view>
#include <vector>

#include "image.h"

namespace qv::resgen {

struct GlyphDef {
  char32_t code;
  const char* rows;
};

class PixelFont {
 public:
  // `height` rows per glyph, `spacing` empty columns after every glyph but
  // the last of a text. Throws std::invalid_argument on a malformed table.
  PixelFont(std::span<const GlyphDef> table, int height, int spacing);

  int height() const { return height_; }
  bool has(char32_t code) const { return glyphs_.count(code) != 0; }
  int glyphWidth(char32_t code) const;
  int textWidth(std::u32string_view text) const;

  // Draws `text` with its top-left corner at (x, y) and returns the column
  // just after it. Ink is drawn with `ink`, half ink with `halfInk`. A text
  // that does not fit the image throws std::out_of_range: a picture whose
  // words are cut off is never written.
  int draw(IndexedImage& image, int x, int y, std::u32string_view text, std::uint8_t ink,
           std::uint8_t halfInk) const;

 private:
  struct Glyph {
    int width = 0;
    std::vector<char> cells;  // height_ rows of width cells
  };
  const Glyph& glyph(char32_t code) const;

  int height_;
  int spacing_;
  std::map<char32_t, Glyph> glyphs_;
};

// The small proportional font of the controls legend: 9 rows (capitals and
// ascenders 7 rows, descenders 2 more), letters, arrows and a little
// punctuation.
const PixelFont& legendFont();

// The wide, bold capitals of the product name: 10 rows and one below for
// the tail of the Q, 2-pixel strokes.
const PixelFont& logoFont();

}  // namespace qv::resgen
