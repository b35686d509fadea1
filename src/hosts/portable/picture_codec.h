#pragma once
// Decoding and rescaling of the program's pictures for the portable hosts:
// BMP (4-bit paletted included), JPEG and PNG into 32-bit ARGB words, top row
// first, and a high-quality rescale. Pixels are allocated with new[] and
// released with freeDecodedPicture.

#include <cstdint>
#include <span>

#include "ground/platform.h"

namespace qv {

bool decodePictureBytes(std::span<const std::uint8_t> bytes, DecodedPicture& out);
void freeDecodedPicture(DecodedPicture& picture);
// A w x h copy of `in`, filtered with a cubic kernel; edge pixels are
// repeated outward so the border does not darken. (The resizer's mirrored
// edge mode reads past the input of pictures only a few pixels across.)
// False for an empty picture or size.
bool scaleDecodedPicture(const DecodedPicture& in, int w, int h, DecodedPicture& out);

}  // namespace qv
