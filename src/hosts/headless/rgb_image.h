#pragma once
// A plain picture of 8-bit red, green, blue triples, top row first: what the
// headless window shows and what the image writers take.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qv {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // width * height * 3 bytes

  RgbImage() = default;
  RgbImage(int w, int h)
      : width(w), height(h), rgb(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3) {}

  std::uint8_t* at(int x, int y) { return rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3; }
  const std::uint8_t* at(int x, int y) const {
    return rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
  }
  bool empty() const { return width <= 0 || height <= 0; }
};

}  // namespace qv
