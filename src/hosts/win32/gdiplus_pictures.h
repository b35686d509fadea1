#pragma once
// Picture decoding and rescaling through the GDI+ flat interface. Pictures
// come out as 32-bit ARGB rows, top row first (PixelFormat32bppARGB).

#include <cstdint>
#include <span>

#include "ground/platform.h"

namespace qv::win32 {

class GdiplusPictures {
 public:
  GdiplusPictures() = default;
  ~GdiplusPictures();
  GdiplusPictures(const GdiplusPictures&) = delete;
  GdiplusPictures& operator=(const GdiplusPictures&) = delete;

  // GdiplusStartup and GdiplusShutdown; the caller keeps the use count.
  bool start();
  void stop();

  // Decodes a picture file held in memory (BMP, JPEG, PNG, ...).
  bool decode(std::span<const std::uint8_t> bytes, DecodedPicture& out);
  // A high-quality bicubic rescale into a new w x h picture.
  bool scale(const DecodedPicture& in, int w, int h, DecodedPicture& out);
  static void freePixels(DecodedPicture& picture);

 private:
  std::uintptr_t token_ = 0;
  bool started_ = false;
};

}  // namespace qv::win32
