#pragma once
// Reads little-endian fields back out of encoded files.

#include <cstdint>

#include "image.h"

namespace qv::resgen::testing {

inline std::uint32_t u16(const Bytes& b, std::size_t at) { return b.at(at) | (b.at(at + 1) << 8); }
inline std::uint32_t u32(const Bytes& b, std::size_t at) { return u16(b, at) | (u16(b, at + 2) << 16); }

}  // namespace qv::resgen::testing
