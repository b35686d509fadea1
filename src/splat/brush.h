#pragma once
// A brush says what a splat looks like: its class (a pixel, a lit ball, a
// soft spot, a picture or a procedural disc) and blend variant, a tint with an
// opacity, size and fade modifiers, up to four quadrant images, its kind
// resolved into the kernels that draw it, and an optional further brush drawn
// for the same particle.

#include <array>
#include <cstddef>
#include <cstdint>

#include "ground/aligned_buffer.h"
#include "splat/brush_kind.h"

namespace qv {

class Platform;

inline constexpr int NO_NEXT_BRUSH = -9;

// A quadrant image: 256 rows of 256 texels 0xAARRGGBB, 1024 bytes a row.
// Texel [dy][dx] lies dy rows and dx columns from the sprite's centre;
// quadrant 0 is up-left, 1 up-right, 2 down-left, 3 down-right.
inline constexpr int QUADRANT_COUNT = 4;
inline constexpr int IMAGE_SIDE = 256;
inline constexpr std::size_t IMAGE_BYTES = 262144;
inline constexpr std::size_t IMAGE_ALIGNMENT = 1024;
inline constexpr std::size_t IMAGE_TEXELS = IMAGE_BYTES / sizeof(std::uint32_t);

// A brush owns its images, so it is not copied implicitly: copyFrom takes
// the platform that reports a failed allocation.
struct Brush {
  Brush() = default;
  Brush(const Brush&) = delete;
  Brush& operator=(const Brush&) = delete;

  // Every field of the source; the images become copies of the source's in
  // blocks of this brush's own (kept where it has one, taken where it lacks
  // one, freed where the source has none), so the copy draws as its source.
  void copyFrom(Platform& platform, const Brush& source);
  // Whether image 0 exists (the class's kernels then read the images).
  bool hasImages() const { return quadrantImages[0] != nullptr; }

  std::int32_t kind = DEFAULT_BRUSH_KIND;
  std::uint32_t colour = 0;  // 0xAARRGGBB; AA is the brush opacity
  std::int32_t useParticleColour = 1;
  double fadeDivisor = 1.0;
  double sizeScale = 1.0;
  double innerScale1 = 0.0;
  double innerScale2 = 0.0;
  std::array<AlignedBuffer<std::uint32_t>, QUADRANT_COUNT> quadrantImages;
  std::int32_t nextBrush = NO_NEXT_BRUSH;
  // The kind resolved when the brush is set up (its kernels chosen); the
  // per-splat code reads this, never `kind`.
  BrushKindRecord kindRecord;
};

}  // namespace qv
