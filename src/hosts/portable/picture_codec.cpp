#include "hosts/portable/picture_codec.h"

#include <climits>
#include <cstddef>
#include <vector>

#include <stb_image.h>
#include <stb_image_resize.h>

namespace qv {

namespace {

std::size_t pixelCount(int w, int h) { return static_cast<std::size_t>(w) * static_cast<std::size_t>(h); }

// The largest side we accept: keeps every byte count well inside int.
constexpr int MAX_PICTURE_SIDE = 16384;

std::uint32_t readLittle32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// The decoder reads past the end of a cut-short bitmap as zeros and calls it
// a picture. An uncompressed bitmap names where its rows start and how long
// they are, so a short one is refused here.
bool bitmapIsComplete(std::span<const std::uint8_t> b) {
  if (b.size() < 2 || b[0] != 'B' || b[1] != 'M') return true;  // not a bitmap: the decoder decides
  if (b.size() < 54) return false;
  const std::uint32_t headerSize = readLittle32(b, 14);
  if (headerSize < 40) return true;  // the old core header: left to the decoder
  const auto width = static_cast<std::int32_t>(readLittle32(b, 18));
  const auto height = static_cast<std::int32_t>(readLittle32(b, 22));
  const std::uint32_t bitsPerPixel = static_cast<std::uint32_t>(b[28]) | static_cast<std::uint32_t>(b[29])
                                                                             << 8;
  const std::uint32_t compression = readLittle32(b, 30);
  if (compression != 0 && compression != 3) return true;  // run-length data has no fixed length
  if (width <= 0 || width > MAX_PICTURE_SIDE || height == 0 || height < -MAX_PICTURE_SIDE ||
      height > MAX_PICTURE_SIDE || bitsPerPixel == 0 || bitsPerPixel > 32) {
    return false;
  }
  const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bitsPerPixel + 31) / 32 * 4;
  const std::uint64_t rows =
      static_cast<std::uint64_t>(height < 0 ? -static_cast<std::int64_t>(height) : height);
  return std::uint64_t{readLittle32(b, 10)} + stride * rows <= b.size();
}

}  // namespace

bool decodePictureBytes(std::span<const std::uint8_t> bytes, DecodedPicture& out) {
  out = DecodedPicture{};
  if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) return false;
  if (!bitmapIsComplete(bytes)) return false;
  int w = 0;
  int h = 0;
  int channels = 0;
  stbi_uc* rgba = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &channels, 4);
  if (rgba == nullptr) return false;
  if (w <= 0 || h <= 0 || w > MAX_PICTURE_SIDE || h > MAX_PICTURE_SIDE) {
    stbi_image_free(rgba);
    return false;
  }
  const std::size_t n = pixelCount(w, h);
  out.pixels = new std::uint32_t[n];
  out.width = w;
  out.height = h;
  for (std::size_t i = 0; i < n; ++i) {
    const stbi_uc* p = rgba + i * 4;
    out.pixels[i] = static_cast<std::uint32_t>(p[3]) << 24 | static_cast<std::uint32_t>(p[0]) << 16 |
                    static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]);
  }
  stbi_image_free(rgba);
  return true;
}

void freeDecodedPicture(DecodedPicture& picture) {
  delete[] picture.pixels;
  picture = DecodedPicture{};
}

bool scaleDecodedPicture(const DecodedPicture& in, int w, int h, DecodedPicture& out) {
  out = DecodedPicture{};
  if (in.pixels == nullptr || in.width <= 0 || in.height <= 0) return false;
  if (w <= 0 || h <= 0 || w > MAX_PICTURE_SIDE || h > MAX_PICTURE_SIDE) return false;
  auto* pixels = new std::uint32_t[pixelCount(w, h)];
  // The words lie in memory as blue, green, red, alpha: four 8-bit channels
  // with alpha last. Colours are filtered as stored (no gamma step) and
  // weighted by alpha, so transparent pixels do not bleed their colour.
  const int ok =
      stbir_resize_uint8_generic(reinterpret_cast<const unsigned char*>(in.pixels), in.width, in.height,
                                 in.width * 4, reinterpret_cast<unsigned char*>(pixels), w, h, w * 4, 4, 3, 0,
                                 STBIR_EDGE_CLAMP, STBIR_FILTER_CATMULLROM, STBIR_COLORSPACE_LINEAR, nullptr);
  if (ok == 0) {
    delete[] pixels;
    return false;
  }
  out.pixels = pixels;
  out.width = w;
  out.height = h;
  return true;
}

}  // namespace qv
