#pragma once
// The per-variant blends of the image-drawing kernels: each combines a frame
// pixel P with a source texel t at coverage w (255 = full). Built once per
// splat from the block (after any opacity folding), applied per pixel.

#include <cstdint>

#include "frame/pixel_ops.h"
#include "splat/splat_colours.h"

namespace qv {

struct AddBlend {
  static constexpr bool FOLDS_OPACITY = true;
  SplatColours c;
  explicit AddBlend(const SplatParams& p) : c(p) {}
  void apply(std::uint32_t& P, std::uint32_t t, int w) const {
    std::uint32_t v = c.fadeColour(c.tinted(t));
    if (w != FULL) v = scaleColour(v, w);
    P = addSaturate(P, v);
  }
};

struct SubtractBlend {
  static constexpr bool FOLDS_OPACITY = true;
  SplatColours c;
  explicit SubtractBlend(const SplatParams& p) : c(p) {}
  void apply(std::uint32_t& P, std::uint32_t t, int w) const {
    std::uint32_t v = c.fadeColour(c.tinted(t));
    if (w != FULL) v = scaleColour(v, w);
    P = subtractFloor(P, v);
  }
};

// Transparency fades the factor toward white, which leaves P (almost) alone.
struct MultiplyBlend {
  static constexpr bool FOLDS_OPACITY = true;
  SplatColours c;
  explicit MultiplyBlend(const SplatParams& p) : c(p) {}
  void apply(std::uint32_t& P, std::uint32_t t, int w) const {
    std::uint32_t v = c.whitened(c.tinted(t));
    if (w != FULL) v = lerpChannels(WHITE, v, w);
    P = multiplyChannels(P, v);
  }
};

struct OverBlend {
  static constexpr bool FOLDS_OPACITY = false;
  SplatColours c;
  explicit OverBlend(const SplatParams& p) : c(p) {}
  void apply(std::uint32_t& P, std::uint32_t t, int w) const {
    const std::uint32_t v = c.over(P, t);
    P = w == FULL ? v : lerpChannels(P, v, w);
  }
};

// Spots: no coverage; each spot variant has its own stop texel.
struct SpotAddBlend : AddBlend {
  static constexpr std::uint32_t STOP = 0;
  using AddBlend::AddBlend;
  void apply(std::uint32_t& P, std::uint32_t t) const { AddBlend::apply(P, t, FULL); }
};

struct SpotSubtractBlend : SubtractBlend {
  static constexpr std::uint32_t STOP = 0;
  using SubtractBlend::SubtractBlend;
  void apply(std::uint32_t& P, std::uint32_t t) const { SubtractBlend::apply(P, t, FULL); }
};

// The texel's low byte pulls the tint toward white, so a tinted multiply spot
// keeps its soft edge whatever the tint.
struct SpotMultiplyBlend {
  static constexpr bool FOLDS_OPACITY = true;
  static constexpr std::uint32_t STOP = 0x00FFFFFF;
  SplatColours c;
  explicit SpotMultiplyBlend(const SplatParams& p) : c(p) {}
  void apply(std::uint32_t& P, std::uint32_t t) const {
    std::uint32_t v = c.tintOn ? lerpChannels(c.tint, WHITE, static_cast<int>(t & LOW_BYTE)) : t;
    v = c.whitened(v);
    P = multiplyChannels(P, v);
  }
};

// The texel is a weight toward the tinted, faded brush colour F.
struct SpotWeightBlend {
  static constexpr bool FOLDS_OPACITY = false;
  static constexpr std::uint32_t STOP = 0;
  std::uint32_t F;
  int alpha;
  explicit SpotWeightBlend(const SplatParams& p) : alpha(p.alpha) {
    const SplatColours c(p);
    F = c.tinted(p.brushColour);
    if (c.fogOn) F = lerpChannels(c.background, F, c.fog);
  }
  void apply(std::uint32_t& P, std::uint32_t t) const {
    const int a = static_cast<int>(t & LOW_BYTE);
    P = alpha == FULL ? lerpChannels(P, F, a) : lerpChannels(P, lerpChannels(P, F, alpha), a);
  }
};

}  // namespace qv
