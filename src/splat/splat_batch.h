#pragma once
// Splats set up together, in lanes: the composition fills one lane per splat
// (an entry with one brush of its chain) with what the set-up reads, and
// computeSplatLanes runs each step of the set-up over all lanes before the
// next, one array per value, so that the compiler runs several splats in one
// instruction. Every lane goes through the same operations in the same order
// as a splat set up alone and gets the same bits.
//
// Lanes are filled only for splats that pass the first two steps of the
// set-up (the near limit and a black tint that adds or subtracts nothing),
// which the composition decides as it walks the entries.

#include <cstdint>

#include "splat/brush_kind.h"

namespace qv {

struct Brush;

inline constexpr int SPLAT_LANES = 64;

// What the lanes read of the depth settings and the live frame; the same
// for every lane of a frame.
struct SplatLaneSettings {
  double capDepth = 0.0;
  double eyeZ = 0.0;
  double maxDepthScale = 0.0;
  double fadeStart = 0.0;
  double fadeRange = 0.0;
  std::int32_t fadeMode = 0;
  std::int32_t minPixelSize = 0;
  double projectionScale = 0.0;
  std::int32_t screenCentreX = 0;
  std::int32_t screenCentreY = 0;
  std::int32_t maxColumn = -1;
  std::int32_t maxRow = -1;
};

struct SplatBatch {
  int count = 0;

  // Per lane, from the composition: the brush (for whoever takes the splat),
  // its tint and alpha, the entry's position, size and life, the system's
  // life curve, and the life fade where a hook gave it.
  const Brush* brush[SPLAT_LANES];
  std::uint32_t tint[SPLAT_LANES];
  std::int32_t alpha[SPLAT_LANES];
  double x[SPLAT_LANES], y[SPLAT_LANES], z[SPLAT_LANES], size[SPLAT_LANES];
  std::int32_t countdown[SPLAT_LANES], lifespan[SPLAT_LANES], drawMode[SPLAT_LANES];
  std::int32_t hooked[SPLAT_LANES];  // life[] holds the hook's fade
  double life[SPLAT_LANES];
  // Of the brush.
  double sizeScale[SPLAT_LANES], fadeDivisor[SPLAT_LANES];
  double innerScale1[SPLAT_LANES], innerScale2[SPLAT_LANES];
  std::int32_t placement[SPLAT_LANES];  // a SplatPlacement

  // Per lane, from computeSplatLanes: the perspective factor, the size in
  // quarter pixels, the distance fade and alpha times the life fade, and
  // what they truncate to; whether the splat reaches the frame with
  // something to draw (0 or 1).
  double scale[SPLAT_LANES], quarters[SPLAT_LANES], fade[SPLAT_LANES], lifeAlpha[SPLAT_LANES];
  std::int32_t fog[SPLAT_LANES], drawnAlpha[SPLAT_LANES];
  std::int32_t sizeQuarter[SPLAT_LANES], sizeHalf[SPLAT_LANES], sizePixel[SPLAT_LANES];
  std::int32_t innerSize1[SPLAT_LANES], innerSize2[SPLAT_LANES];
  std::int32_t centreX[SPLAT_LANES], centreY[SPLAT_LANES], radius[SPLAT_LANES];
  std::int32_t tinyBall[SPLAT_LANES], ballDepth[SPLAT_LANES];
  std::int32_t drawn[SPLAT_LANES];
};

// The instruction sets the lanes are compiled for; the widest the processor
// has is used unless a test asks for another.
enum class LaneIsa { Sse2, Avx2, Avx512 };

// Sets up every lane of the batch.
void computeSplatLanes(const SplatLaneSettings& settings, SplatBatch& batch);
// Whether this processor (and build) can run an instruction set's lanes.
bool laneIsaAvailable(LaneIsa isa);
// Makes computeSplatLanes use `isa` (which must be available); for tests.
void useLaneIsa(LaneIsa isa);
LaneIsa laneIsaInUse();

}  // namespace qv
