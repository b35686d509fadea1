#pragma once
// Little-endian field writers shared by the BMP and ICO encoders.

#include <cstdint>

#include "image.h"

namespace qv::resgen {

inline void putU8(Bytes& out, std::uint32_t v) { out.push_back(static_cast<std::uint8_t>(v)); }
inline void putU16(Bytes& out, std::uint32_t v) {
  putU8(out, v & 0xFF);
  putU8(out, (v >> 8) & 0xFF);
}
inline void putU32(Bytes& out, std::uint32_t v) {
  putU16(out, v & 0xFFFF);
  putU16(out, v >> 16);
}
inline void putI32(Bytes& out, std::int32_t v) { putU32(out, static_cast<std::uint32_t>(v)); }

// Rows of device-independent bitmaps are padded to whole 32-bit words.
inline std::size_t paddedRowBytes(int width, int bitsPerPixel) {
  return ((static_cast<std::size_t>(width) * bitsPerPixel + 31) / 32) * 4;
}

}  // namespace qv::resgen
