#pragma once
// Per-splat colour rules shared by the sprite and disc kernels: the tint, the
// distance fade, and the folding of the opacity into the fade. A kernel reads
// them once before its pixels and keeps them in a SplatColours value.

#include <cstdint>

#include "frame/pixel_ops.h"
#include "splat/splat_params.h"

namespace qv {

inline constexpr std::uint32_t WHITE = 0xFFFFFF;
// Byte that the spot weight and the point colour come from.
inline constexpr std::uint32_t LOW_BYTE = 0xFF;
inline constexpr int FULL = 255;

// The add, subtract and multiply kernels carry the opacity inside the fade
// from here on: fog = floor(alpha * fog / 255).
inline void foldOpacity(SplatParams& p) { p.fog = p.alpha * p.fog / 255; }

struct SplatColours {
  std::uint32_t tint;
  bool tintOn;  // only the exact word NO_TINT leaves colours alone
  int fog;
  bool fogOn;
  int alpha;
  std::uint32_t background;

  explicit SplatColours(const SplatParams& p)
      : tint(p.tint),
        tintOn(p.tint != NO_TINT),
        fog(p.fog),
        fogOn(p.fog != FULL),
        alpha(p.alpha),
        background(p.backgroundColour) {}

  std::uint32_t tinted(std::uint32_t a) const { return tintOn ? multiplyChannels(a, tint) : a; }
  std::uint32_t fadeColour(std::uint32_t a) const { return fogOn ? scaleColour(a, fog) : a; }
  // Mixed colour of the opacity blends: opacity first, then tint, then the
  // fade toward the background, so tint and fade act on the mixed colour.
  std::uint32_t over(std::uint32_t pixel, std::uint32_t t) const {
    std::uint32_t v = alpha == FULL ? t : lerpChannels(pixel, t, alpha);
    v = tinted(v);
    if (fogOn) v = lerpChannels(background, v, fog);
    return v;
  }
  // A multiply factor pulled toward white by the fade.
  std::uint32_t whitened(std::uint32_t v) const { return fogOn ? lerpChannels(WHITE, v, fog) : v; }
};

}  // namespace qv
