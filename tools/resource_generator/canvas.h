#pragma once
// A floating-point drawing surface for the generated icons and the sample
// brush. Shapes are sampled 4 x 4 times per pixel for smooth edges. Only
// + - * / and sqrt are used, all exactly rounded, so every machine makes the
// same bytes.

#include <cstdint>
#include <vector>

#include "image.h"

namespace qv::resgen {

struct Rgb {
  double r = 0, g = 0, b = 0;
};

// 0xRRGGBB (any alpha byte is ignored) as channels 0..1.
Rgb rgbFromHex(std::uint32_t colour);

class Canvas {
 public:
  static constexpr int SUBSAMPLES = 4;

  Canvas(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }

  // Adds colour * intensity(dx, dy) * strength around (cx, cy) within
  // `reach` pixels, as light adds on a dark screen. (dx, dy) is the sample's
  // offset from the centre in pixels; intensity is averaged over the
  // subsamples of each pixel.
  template <class Intensity>
  void addLight(double cx, double cy, double reach, Rgb colour, double strength, Intensity intensity);

  // Paints an opaque shape over what is there: shade(dx, dy, out) returns
  // whether the sample lies inside and sets its colour. Also raises the
  // coverage (alpha) of the covered pixels.
  template <class Shade>
  void paint(double cx, double cy, double reach, Shade shade);

  // Channels clamped to 0..1 and rounded to bytes; alpha from coverage.
  RgbaImage toImage() const;

 private:
  struct Cell {
    Rgb c;
    double alpha = 0;
  };
  Cell& cell(int x, int y) { return cells_[static_cast<std::size_t>(y) * width_ + x]; }

  int width_;
  int height_;
  std::vector<Cell> cells_;
};

template <class Intensity>
void Canvas::addLight(double cx, double cy, double reach, Rgb colour, double strength, Intensity intensity) {
  const int x0 = static_cast<int>(cx - reach) - 1, x1 = static_cast<int>(cx + reach) + 1;
  const int y0 = static_cast<int>(cy - reach) - 1, y1 = static_cast<int>(cy + reach) + 1;
  for (int y = y0 < 0 ? 0 : y0; y <= y1 && y < height_; ++y)
    for (int x = x0 < 0 ? 0 : x0; x <= x1 && x < width_; ++x) {
      double sum = 0;
      for (int sy = 0; sy < SUBSAMPLES; ++sy)
        for (int sx = 0; sx < SUBSAMPLES; ++sx)
          sum += intensity(x + (sx + 0.5) / SUBSAMPLES - cx, y + (sy + 0.5) / SUBSAMPLES - cy);
      const double w = sum / (SUBSAMPLES * SUBSAMPLES) * strength;
      Cell& c = cell(x, y);
      c.c.r += colour.r * w;
      c.c.g += colour.g * w;
      c.c.b += colour.b * w;
    }
}

template <class Shade>
void Canvas::paint(double cx, double cy, double reach, Shade shade) {
  const int x0 = static_cast<int>(cx - reach) - 1, x1 = static_cast<int>(cx + reach) + 1;
  const int y0 = static_cast<int>(cy - reach) - 1, y1 = static_cast<int>(cy + reach) + 1;
  for (int y = y0 < 0 ? 0 : y0; y <= y1 && y < height_; ++y)
    for (int x = x0 < 0 ? 0 : x0; x <= x1 && x < width_; ++x) {
      Rgb sum;
      int inside = 0;
      for (int sy = 0; sy < SUBSAMPLES; ++sy)
        for (int sx = 0; sx < SUBSAMPLES; ++sx) {
          Rgb s;
          if (shade(x + (sx + 0.5) / SUBSAMPLES - cx, y + (sy + 0.5) / SUBSAMPLES - cy, s)) {
            sum.r += s.r;
            sum.g += s.g;
            sum.b += s.b;
            ++inside;
          }
        }
      if (inside == 0) continue;
      const double n = SUBSAMPLES * SUBSAMPLES;
      const double cover = inside / n;
      Cell& c = cell(x, y);
      c.c.r = c.c.r * (1 - cover) + sum.r / n;
      c.c.g = c.c.g * (1 - cover) + sum.g / n;
      c.c.b = c.c.b * (1 - cover) + sum.b / n;
      c.alpha = c.alpha + (1 - c.alpha) * cover;
    }
}

}  // namespace qv::resgen
