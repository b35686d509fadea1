#pragma once
// Pixel containers the generator draws into and the encoders read from.
// Both keep the top row first, as pictures are drawn; the encoders turn them
// bottom-up where the file formats want it.

#include <cstdint>
#include <vector>

namespace qv::resgen {

using Bytes = std::vector<std::uint8_t>;

// One palette index per pixel.
struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> index;

  IndexedImage() = default;
  IndexedImage(int w, int h) : width(w), height(h), index(static_cast<std::size_t>(w) * h, 0) {}
  std::uint8_t& at(int x, int y) { return index[static_cast<std::size_t>(y) * width + x]; }
  std::uint8_t at(int x, int y) const { return index[static_cast<std::size_t>(y) * width + x]; }
};

// 0xAARRGGBB per pixel, alpha not premultiplied.
struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  RgbaImage() = default;
  RgbaImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, 0) {}
  std::uint32_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

}  // namespace qv::resgen
