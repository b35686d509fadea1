#include "hosts/portable/scene_option_values.h"

#include <charconv>

#include "scene/animation.h"

namespace qv {

bool parseInt(std::string_view text, long long lo, long long hi, long long& out) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return false;
  long long value = 0;
  const char* last = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), last, value);
  if (ec != std::errc() || ptr != last || value < lo || value > hi) return false;
  out = value;
  return true;
}

bool parseHex(std::string_view text, std::uint32_t& out) {
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.remove_prefix(2);
  if (text.empty() || text[0] == '+' || text[0] == '-') return false;
  unsigned long long value = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (ec != std::errc() || ptr != text.data() + text.size() || value > 0xFFFFFFFFull) return false;
  out = static_cast<std::uint32_t>(value);
  return true;
}

bool isDrawnBrushKind(std::uint32_t kind) {
  for (const std::int32_t drawn : drawnBrushKinds()) {
    if (kind == static_cast<std::uint32_t>(drawn)) return true;
  }
  return false;
}

std::optional<BrushChoice> brushByName(std::string_view name) {
  if (name == "disc") return BrushChoice{ADDING_DISC_BRUSH_KIND, {}};
  if (name == "ball") return BrushChoice{BALL_BRUSH_KIND, {}};
  if (name == "spot") return BrushChoice{ADDING_SPOT_BRUSH_KIND, {}};
  if (name == "point") return BrushChoice{POINT_BRUSH_KIND, {}};
  if (name == "picture") return BrushChoice{PICTURE_BRUSH_KIND, BRUSH_PICTURE_NAME};
  return std::nullopt;
}

}  // namespace qv
