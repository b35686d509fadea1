#pragma once
// The values of the scene's options as both portable programs read them
// (the renderer's --seed, --trail and --brush-kind, the desktop program's
// --seed, --trail and --brush): whole numbers, kind codes in hexadecimal and
// the brushes by name.

#include <cstdint>
#include <optional>
#include <string_view>

namespace qv {

// A whole decimal number in [lo, hi] (lo >= 0): digits only, no sign, blanks
// or trailing text.
bool parseInt(std::string_view text, long long lo, long long hi, long long& out);

// A 32-bit value in hexadecimal, with or without a leading 0x.
bool parseHex(std::string_view text, std::uint32_t& out);

// Whether the program has kernels for a brush kind (the core's list of
// drawn kinds).
bool isDrawnBrushKind(std::uint32_t kind);

// The program's own brush picture.
inline constexpr std::string_view BRUSH_PICTURE_NAME = "STAR_FLARE";

struct BrushChoice {
  std::uint32_t kind = 0;
  std::string_view picture;  // empty: none
};

// disc (the scene's own), ball, spot, point or picture.
std::optional<BrushChoice> brushByName(std::string_view name);
inline constexpr std::string_view BRUSH_NAMES = "disc, ball, spot, point, picture";

}  // namespace qv
