#include "hosts/portable/icon_decoder.h"

#include <cstddef>

#include "hosts/portable/picture_codec.h"

namespace qv {
namespace {

constexpr std::size_t DIRECTORY_HEADER_BYTES = 6;
constexpr std::size_t DIRECTORY_ENTRY_BYTES = 16;
constexpr std::size_t INFO_HEADER_BYTES = 40;

std::uint32_t readU16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8;
}

std::uint32_t readU32(std::span<const std::uint8_t> b, std::size_t at) {
  return readU16(b, at) | readU16(b, at + 2) << 16;
}

bool isPng(std::span<const std::uint8_t> b) {
  static constexpr std::uint8_t signature[] = {0x89, 'P', 'N', 'G'};
  if (b.size() < sizeof signature) return false;
  for (std::size_t i = 0; i < sizeof signature; ++i) {
    if (b[i] != signature[i]) return false;
  }
  return true;
}

// The DIB form: BITMAPINFOHEADER, size x size BGRA words bottom row first,
// then the 1-bit AND mask, also bottom row first, rows padded to 4 bytes.
bool decodeDibImage(std::span<const std::uint8_t> image, int size, DecodedPicture& out) {
  if (image.size() < INFO_HEADER_BYTES) return false;
  const std::uint32_t headerBytes = readU32(image, 0);
  const auto width = static_cast<std::int32_t>(readU32(image, 4));
  const auto doubledHeight = static_cast<std::int32_t>(readU32(image, 8));
  const std::uint32_t bitCount = readU16(image, 14);
  const std::uint32_t compression = readU32(image, 16);
  if (headerBytes < INFO_HEADER_BYTES || headerBytes > image.size()) return false;
  if (width != size || doubledHeight != 2 * size || bitCount != 32 || compression != 0) return false;

  const std::size_t n = static_cast<std::size_t>(size);
  const std::size_t colourBytes = n * n * 4;
  const std::size_t maskStride = (n + 31) / 32 * 4;
  const std::size_t maskBytes = maskStride * n;
  if (image.size() - headerBytes < colourBytes + maskBytes) return false;
  const std::span<const std::uint8_t> colour = image.subspan(headerBytes, colourBytes);
  const std::span<const std::uint8_t> mask = image.subspan(headerBytes + colourBytes, maskBytes);

  bool anyAlpha = false;
  for (std::size_t i = 3; i < colourBytes; i += 4) anyAlpha = anyAlpha || colour[i] != 0;

  out.pixels = new std::uint32_t[n * n];
  out.width = size;
  out.height = size;
  for (std::size_t row = 0; row < n; ++row) {
    const std::size_t stored = n - 1 - row;
    for (std::size_t col = 0; col < n; ++col) {
      std::uint32_t p = readU32(colour, (stored * n + col) * 4);
      if (!anyAlpha) {
        const bool transparent = (mask[stored * maskStride + col / 8] >> (7 - col % 8) & 1) != 0;
        p = (p & 0x00FFFFFFu) | (transparent ? 0u : 0xFF000000u);
      }
      out.pixels[row * n + col] = p;
    }
  }
  return true;
}

}  // namespace

bool decodeIconImage(std::span<const std::uint8_t> ico, int size, DecodedPicture& out) {
  out = DecodedPicture{};
  if (size <= 0 || size > 256 || ico.size() < DIRECTORY_HEADER_BYTES) return false;
  if (readU16(ico, 0) != 0 || readU16(ico, 2) != 1) return false;
  const std::size_t count = readU16(ico, 4);
  if (ico.size() < DIRECTORY_HEADER_BYTES + count * DIRECTORY_ENTRY_BYTES) return false;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = DIRECTORY_HEADER_BYTES + i * DIRECTORY_ENTRY_BYTES;
    // A stored width or height of 0 stands for 256.
    const int w = ico[entry] == 0 ? 256 : ico[entry];
    const int h = ico[entry + 1] == 0 ? 256 : ico[entry + 1];
    if (w != size || h != size) continue;
    const std::uint32_t bytes = readU32(ico, entry + 8);
    const std::uint32_t offset = readU32(ico, entry + 12);
    if (offset > ico.size() || bytes > ico.size() - offset) return false;
    const std::span<const std::uint8_t> image = ico.subspan(offset, bytes);
    if (isPng(image)) {
      if (!decodePictureBytes(image, out)) return false;
      if (out.width == size && out.height == size) return true;
      freeDecodedPicture(out);
      return false;
    }
    return decodeDibImage(image, size, out);
  }
  return false;
}

void drawIconOver(const DecodedPicture& icon, std::uint32_t* dst, int dstWidth, int dstHeight, int x, int y) {
  if (icon.pixels == nullptr || dst == nullptr) return;
  for (int r = 0; r < icon.height; ++r) {
    const int ty = y + r;
    if (ty < 0 || ty >= dstHeight) continue;
    for (int c = 0; c < icon.width; ++c) {
      const int tx = x + c;
      if (tx < 0 || tx >= dstWidth) continue;
      const std::uint32_t s = icon.pixels[static_cast<std::size_t>(r) * icon.width + c];
      const std::uint32_t a = s >> 24;
      std::uint32_t& d = dst[static_cast<std::size_t>(ty) * dstWidth + tx];
      if (a == 255) {
        d = s | 0xFF000000u;
      } else if (a != 0) {
        std::uint32_t blended = 0xFF000000u;
        for (int shift = 0; shift <= 16; shift += 8) {
          const std::uint32_t sc = s >> shift & 0xFF;
          const std::uint32_t dc = d >> shift & 0xFF;
          blended |= ((sc * a + dc * (255 - a) + 127) / 255) << shift;
        }
        d = blended;
      }
    }
  }
}

}  // namespace qv
