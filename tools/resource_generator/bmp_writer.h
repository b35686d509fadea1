#pragma once
// Palette BMP files (BITMAPFILEHEADER + BITMAPINFOHEADER, uncompressed,
// bottom-up), the form in which the logo, the controls legend and the sample
// brush are stored.

#include <cstdint>
#include <vector>

#include "image.h"

namespace qv::resgen {

constexpr std::size_t BMP_FILE_HEADER_BYTES = 14;
constexpr std::size_t BMP_INFO_HEADER_BYTES = 40;
// 72 dots per inch, the resolution picture tools assume for screen pictures.
constexpr std::int32_t BMP_PIXELS_PER_METRE = 2835;

// `levels` evenly spaced greys from black to white, as 0x00RRGGBB.
std::vector<std::uint32_t> greyPalette(int levels);

// Encodes `image` with 1, 4 or 8 bits per pixel. Every index must address
// `palette`, and the palette must fit the bit depth; anything else throws
// std::invalid_argument rather than writing a file a decoder would misread.
Bytes encodePaletteBmp(const IndexedImage& image, int bitsPerPixel,
                       const std::vector<std::uint32_t>& palette);

}  // namespace qv::resgen
