#include "bmp_writer.h"

#include <stdexcept>
#include <string>

#include "byte_writer.h"

namespace qv::resgen {

std::vector<std::uint32_t> greyPalette(int levels) {
  if (levels < 2 || levels > 256) throw std::invalid_argument("grey palette needs 2..256 levels");
  std::vector<std::uint32_t> palette;
  for (int i = 0; i < levels; ++i) {
    const std::uint32_t g = static_cast<std::uint32_t>(i * 255 / (levels - 1));
    palette.push_back((g << 16) | (g << 8) | g);
  }
  return palette;
}

Bytes encodePaletteBmp(const IndexedImage& image, int bitsPerPixel,
                       const std::vector<std::uint32_t>& palette) {
  if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8)
    throw std::invalid_argument("palette BMP needs 1, 4 or 8 bits per pixel");
  if (image.width <= 0 || image.height <= 0 ||
      image.index.size() != static_cast<std::size_t>(image.width) * image.height)
    throw std::invalid_argument("BMP image has no pixels or a wrong pixel count");
  const std::size_t colours = palette.size();
  if (colours == 0 || colours > (std::size_t{1} << bitsPerPixel))
    throw std::invalid_argument("palette of " + std::to_string(colours) + " colours does not fit " +
                                std::to_string(bitsPerPixel) + " bits per pixel");
  for (std::uint8_t i : image.index)
    if (i >= colours)
      throw std::invalid_argument("pixel index " + std::to_string(i) + " outside the palette");

  const std::size_t rowBytes = paddedRowBytes(image.width, bitsPerPixel);
  const std::size_t pixelBytes = rowBytes * image.height;
  const std::size_t dataOffset = BMP_FILE_HEADER_BYTES + BMP_INFO_HEADER_BYTES + colours * 4;

  Bytes out;
  out.reserve(dataOffset + pixelBytes);
  // BITMAPFILEHEADER
  putU8(out, 'B');
  putU8(out, 'M');
  putU32(out, static_cast<std::uint32_t>(dataOffset + pixelBytes));
  putU32(out, 0);
  putU32(out, static_cast<std::uint32_t>(dataOffset));
  // BITMAPINFOHEADER; a positive height means the rows are stored bottom-up.
  putU32(out, BMP_INFO_HEADER_BYTES);
  putI32(out, image.width);
  putI32(out, image.height);
  putU16(out, 1);
  putU16(out, static_cast<std::uint32_t>(bitsPerPixel));
  putU32(out, 0);  // BI_RGB
  putU32(out, static_cast<std::uint32_t>(pixelBytes));
  putI32(out, BMP_PIXELS_PER_METRE);
  putI32(out, BMP_PIXELS_PER_METRE);
  putU32(out, static_cast<std::uint32_t>(colours));
  putU32(out, 0);  // every colour matters
  for (std::uint32_t c : palette) {
    putU8(out, c & 0xFF);
    putU8(out, (c >> 8) & 0xFF);
    putU8(out, (c >> 16) & 0xFF);
    putU8(out, 0);
  }
  const int perByte = 8 / bitsPerPixel;
  for (int y = image.height - 1; y >= 0; --y) {
    Bytes row(rowBytes, 0);
    for (int x = 0; x < image.width; ++x) {
      // The leftmost pixel sits in the most significant bits of its byte.
      const int shift = 8 - bitsPerPixel * (x % perByte + 1);
      row[static_cast<std::size_t>(x / perByte)] |= static_cast<std::uint8_t>(image.at(x, y) << shift);
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace qv::resgen
