#include "canvas.h"

namespace qv::resgen {

Rgb rgbFromHex(std::uint32_t colour) {
  return {((colour >> 16) & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0, (colour & 0xFF) / 255.0};
}

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), cells_(static_cast<std::size_t>(width) * height) {}

namespace {
std::uint32_t toByte(double v) {
  if (!(v > 0)) return 0;
  if (v >= 1) return 255;
  return static_cast<std::uint32_t>(v * 255 + 0.5);
}
}  // namespace

RgbaImage Canvas::toImage() const {
  RgbaImage image(width_, height_);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const Cell& c = cells_[static_cast<std::size_t>(y) * width_ + x];
      image.at(x, y) = (toByte(c.alpha) << 24) | (toByte(c.c.r) << 16) | (toByte(c.c.g) << 8) | toByte(c.c.b);
    }
  return image;
}

}  // namespace qv::resgen
