#pragma once
// Reads one image out of an icon file (the bytes of an RT_GROUP_ICON resource
// as the program embeds it): the directory entry of the wanted size, stored as
// a 32-bit DIB with its AND mask, or as a PNG. The window system draws such an
// image blended by its alpha channel; an image whose alpha bytes are all zero
// is an old-style one whose AND mask says which pixels are transparent.

#include <cstdint>
#include <span>

#include "ground/platform.h"

namespace qv {

// Decodes the size x size image into 32-bit ARGB, top row first (pixels
// allocated as decodePictureBytes does; free them with freeDecodedPicture).
// False when the bytes are not an icon file, hold no image of that size, or
// the image is cut short or of another depth than 32 bits.
bool decodeIconImage(std::span<const std::uint8_t> ico, int size, DecodedPicture& out);

// Blends `icon` over the top-down ARGB picture `dst` (dstWidth x dstHeight
// words) with its top-left corner at (x, y), by the icon's alpha; parts
// outside `dst` are left out.
void drawIconOver(const DecodedPicture& icon, std::uint32_t* dst, int dstWidth, int dstHeight, int x, int y);

}  // namespace qv
