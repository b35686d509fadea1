#pragma once
// The per-splat parameter block. The composition writes `tint` and `alpha`,
// the splat set-up writes the sizes, the centre, the box and the sources, and
// `clipSplat` narrows the box; the kernels read it and keep their own working
// values beside it. It is overwritten for every splat.
//
// The block also carries what a kernel reads of the frame and of the lookup
// tables, refreshed by the composition every frame, so a kernel needs nothing
// but this block. Among that are the rows a kernel may draw: the whole frame,
// or one band of it when several threads draw a frame band by band.

#include <cstdint>

namespace qv {

class Platform;

// Texels per quadrant-image row and rows per image.
inline constexpr int QUADRANT_SIDE = 256;
// The value the composition stores as `tint` when the particle colour is not
// used: the only word that means "no tint".
inline constexpr std::uint32_t NO_TINT = 0x00FFFFFF;

// One coverage-mask slot: a byte lane of the disc coverage table for s = words.
struct CoverageMask {
  int lane = 0;                         // 0 ... 3
  int shift = 0;                        // 8 * lane
  std::uint32_t laneMask = 0;           // 0xFF << shift
  const std::uint32_t* rows = nullptr;  // words x words entries
  int words = 0;                        // row length in 32-bit entries
};

// What the set-up decides for one splat, apart from where its pixels go: a
// splat can be set up once and drawn later into any band of rows.
struct SplatValues {
  // Written by the composition before each drawSplat.
  std::uint32_t tint = NO_TINT;
  std::int32_t alpha = 255;

  // Written by drawSplat.
  std::int32_t fog = 255;
  std::uint32_t brushColour = 0;
  std::int32_t sizeQuarter = 0;
  std::int32_t sizeHalf = 0;
  std::int32_t sizePixel = 0;
  std::int32_t innerSize1 = 0;
  std::int32_t innerSize2 = 0;

  // Written by the class set-ups (a point's box is its pixel).
  std::int32_t centreX = 0;
  std::int32_t centreY = 0;
  std::int32_t radius = 0;
  std::int32_t left = 0;
  std::int32_t right = 0;
  std::int32_t top = 0;
  std::int32_t bottom = 0;
  std::int32_t tinyBall = 0;
  std::int32_t ballDepth = 0;
};

struct SplatParams : SplatValues {
  // Written by the class set-ups.
  const std::int32_t* rescaleRow = nullptr;  // row `radius` of the rescale table
  const std::uint32_t* quadrant[4] = {};     // the brush's quadrant images (256 x 256 texels)

  // Written by clipSplat.
  std::int32_t firstRow = 0;
  std::int32_t firstColumn = 0;
  std::int32_t upExtent = 0;
  std::int32_t downExtent = 0;
  std::int32_t leftExtent = 0;
  std::int32_t rightExtent = 0;
  std::int32_t drawUp = 0;
  std::int32_t drawDown = 0;
  std::int32_t drawLeft = 0;
  std::int32_t drawRight = 0;

  // Written by selectCoverageMask (disc kernels).
  CoverageMask outerMask;
  CoverageMask innerMask1;
  CoverageMask innerMask2;

  // The live frame, refreshed by the composition every frame.
  std::uint32_t* pixels = nullptr;
  const std::int32_t* rowStart = nullptr;  // drawing row -> offset of its first inner pixel
  std::int32_t maxColumn = -1;
  // The rows a kernel may draw: 0 ... maxRow of the frame, or one band.
  std::int32_t minRow = 0;
  std::int32_t maxRow = -1;
  std::int32_t* depthBuffer = nullptr;  // indexed like `pixels`
  std::uint32_t backgroundColour = 0xFF000000;

  // Lookup tables (see the brush tables): the sphere table as 256 x 256 pairs
  // (height8, slope), and the 256 disc coverage table pointers indexed by s.
  const std::int32_t* sphereTable = nullptr;
  const std::uint32_t* const* discCoverage = nullptr;

  // For the default kernel's fatal report.
  Platform* platform = nullptr;
};

}  // namespace qv
