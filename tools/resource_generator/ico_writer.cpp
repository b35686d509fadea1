#include "ico_writer.h"

#include <stdexcept>

#include "byte_writer.h"

namespace qv::resgen {
namespace {

constexpr std::size_t ICON_DIR_BYTES = 6;
constexpr std::size_t ICON_ENTRY_BYTES = 16;
constexpr std::size_t INFO_HEADER_BYTES = 40;

std::size_t imageBytes(const RgbaImage& image) {
  return INFO_HEADER_BYTES + paddedRowBytes(image.width, 32) * image.height +
         paddedRowBytes(image.width, 1) * image.height;
}

void putImage(Bytes& out, const RgbaImage& image) {
  const std::size_t colourBytes = paddedRowBytes(image.width, 32) * image.height;
  const std::size_t maskRowBytes = paddedRowBytes(image.width, 1);
  putU32(out, INFO_HEADER_BYTES);
  putI32(out, image.width);
  putI32(out, image.height * 2);  // colour rows and mask rows together
  putU16(out, 1);
  putU16(out, 32);
  putU32(out, 0);  // BI_RGB
  putU32(out, static_cast<std::uint32_t>(colourBytes + maskRowBytes * image.height));
  putI32(out, 0);
  putI32(out, 0);
  putU32(out, 0);
  putU32(out, 0);
  for (int y = image.height - 1; y >= 0; --y)
    for (int x = 0; x < image.width; ++x) putU32(out, image.at(x, y));
  for (int y = image.height - 1; y >= 0; --y) {
    Bytes row(maskRowBytes, 0);
    for (int x = 0; x < image.width; ++x)
      if ((image.at(x, y) >> 24) == 0)
        row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    out.insert(out.end(), row.begin(), row.end());
  }
}

}  // namespace

Bytes encodeIcon(const std::vector<RgbaImage>& images) {
  if (images.empty()) throw std::invalid_argument("an icon needs at least one image");
  for (const RgbaImage& image : images) {
    if (image.width < 1 || image.width > ICON_MAX_SIDE || image.height < 1 || image.height > ICON_MAX_SIDE ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height)
      throw std::invalid_argument("icon image sides must be 1..256 with one pixel each");
  }
  Bytes out;
  putU16(out, 0);
  putU16(out, 1);  // icon, not cursor
  putU16(out, static_cast<std::uint32_t>(images.size()));
  std::size_t offset = ICON_DIR_BYTES + ICON_ENTRY_BYTES * images.size();
  for (const RgbaImage& image : images) {
    // A side of 256 is written as 0, the only value a byte has left for it.
    putU8(out, static_cast<std::uint32_t>(image.width % 256));
    putU8(out, static_cast<std::uint32_t>(image.height % 256));
    putU8(out, 0);  // no palette
    putU8(out, 0);
    putU16(out, 1);
    putU16(out, 32);
    putU32(out, static_cast<std::uint32_t>(imageBytes(image)));
    putU32(out, static_cast<std::uint32_t>(offset));
    offset += imageBytes(image);
  }
  for (const RgbaImage& image : images) putImage(out, image);
  return out;
}

}  // namespace qv::resgen
