// The kernels that draw from a brush's four quadrant images: each is the
// shared quadrant walk with a class rule (what a pixel samples, where a row
// ends) and a variant blend plugged in.

#include <cstdint>

#include "frame/pixel_ops.h"
#include "splat/kernels.h"
#include "splat/quadrant_traversal.h"
#include "splat/splat_colours.h"
#include "splat/sprite_blends.h"

namespace qv {
namespace {

// Far-background floor of the tiny ball's depth test: any real depth
// difference counts as fully in front.
constexpr int TINY_BALL_FLOOR = -777;
// Coverage steps of the rim of image splats.
constexpr int RIM_STEP = 32;
constexpr int RIM_STEPS = 8;

// Maps distances from the centre to texels through the rescale row: row
// distance k to source row i, column distance j to source column u.
struct SourceWalk {
  const std::int32_t* rescale;
  int rowBase = 0;
  explicit SourceWalk(const SplatParams& p) : rescale(p.rescaleRow) {}
  void beginRow(int k) { rowBase = rescale[k] / 4 * QUADRANT_SIDE; }
  int texel(int j) const { return rowBase + rescale[j] / 4; }
};

// Image splats: the sphere table shapes the disc and softens its rim.
template <class Blend>
struct ImageRule {
  SplatParams& p;
  Blend blend;
  SourceWalk source;
  int texel = 0;
  int coverage = FULL;

  explicit ImageRule(SplatParams& params) : p(params), blend(params), source(params) {}
  void beginRow(int k) { source.beginRow(k); }
  Step sample(int j) {
    texel = source.texel(j);
    const std::int32_t* entry = p.sphereTable + 2 * texel;
    const int height8 = entry[0];
    if (height8 == 0) return Step::EndRow;
    if (p.tinyBall) {
      coverage = FULL;
      return Step::Draw;
    }
    const int hq = (p.sizePixel * height8) >> 8;
    if (hq == 0) return Step::EndRow;
    const int slope = entry[1];
    if (slope == 0 || slope == 1) {
      coverage = FULL;
    } else {
      const int q = hq / slope;
      coverage = q < RIM_STEPS ? RIM_STEP * q : FULL;
    }
    return Step::Draw;
  }
  template <int Q>
  bool draw(int index) {
    blend.apply(p.pixels[index], p.quadrant[Q][texel], coverage);
    return true;
  }
};

// Balls: the sphere's surface height becomes a depth, tested and written
// against the depth buffer; near-equal depths soften the intersection.
struct BallRule {
  SplatParams& p;
  SplatColours colours;
  SourceWalk source;
  int texel = 0;
  int pixelDepth = 0;
  int depthFloor = 0;
  int divisor = 0;

  explicit BallRule(SplatParams& params) : p(params), colours(params), source(params) {}
  void beginRow(int k) { source.beginRow(k); }
  Step sample(int j) {
    texel = source.texel(j);
    const std::int32_t* entry = p.sphereTable + 2 * texel;
    const int height8 = entry[0];
    if (height8 == 0) return Step::EndRow;
    const int hq = (p.sizePixel * height8) >> 8;
    if (hq == 0) return Step::EndRow;
    pixelDepth = p.ballDepth - hq;
    if (p.tinyBall) {
      depthFloor = TINY_BALL_FLOOR;
      divisor = 0;
    } else {
      depthFloor = -hq;
      divisor = entry[1];
    }
    return Step::Draw;
  }
  template <int Q>
  bool draw(int index) {
    std::int32_t& Z = p.depthBuffer[index];
    // Widened: a far reset value minus a near depth must not overflow.
    std::int64_t e = static_cast<std::int64_t>(pixelDepth) - Z;
    if (e < depthFloor) e = depthFloor;
    if (divisor != 0 && divisor != 1) e = e / divisor;
    if (e >= 0) return true;  // hidden behind what is already drawn
    const std::int64_t s = -e;
    std::uint32_t& P = p.pixels[index];
    const std::uint32_t v = colours.over(P, p.quadrant[Q][texel]);
    P = s >= 8 ? v : lerpChannels(P, v, static_cast<int>(32 * s));
    Z = pixelDepth;
    return true;
  }
};

// Spots: no coverage; a quadrant stops at its first stop texel in a row.
template <class Blend>
struct SpotRule {
  SplatParams& p;
  Blend blend;
  SourceWalk source;
  int texel = 0;

  explicit SpotRule(SplatParams& params) : p(params), blend(params), source(params) {}
  void beginRow(int k) { source.beginRow(k); }
  Step sample(int j) {
    texel = source.texel(j);
    return Step::Draw;
  }
  template <int Q>
  bool draw(int index) {
    const std::uint32_t t = p.quadrant[Q][texel];
    if (t == Blend::STOP) return false;
    blend.apply(p.pixels[index], t);
    return true;
  }
};

template <Form F, class Rule>
void walk(SplatParams& p) {
  const Extents extents = splatExtents<F>(p);
  Rule rule(p);
  traverseQuadrants(p, extents, rule);
}

template <Form F, class Blend>
void drawImage(SplatParams& p) {
  if constexpr (Blend::FOLDS_OPACITY) foldOpacity(p);
  if (F == Form::Inside && p.radius == 0) {
    // A one-pixel image is its centre texel at full coverage.
    const Blend blend(p);
    blend.apply(p.pixels[p.rowStart[p.centreY] + p.centreX], p.quadrant[0][0], FULL);
    return;
  }
  walk<F, ImageRule<Blend>>(p);
}

template <Form F, class Blend>
void drawSpot(SplatParams& p) {
  if constexpr (Blend::FOLDS_OPACITY) foldOpacity(p);
  walk<F, SpotRule<Blend>>(p);
}

}  // namespace

void PointKernelInside(SplatParams& p) {
  std::uint32_t& P = p.pixels[p.rowStart[p.centreY] + p.centreX];
  P = p.fog == FULL ? p.tint : lerpChannels(p.backgroundColour, p.tint, p.fog);
}

void BallKernelClipped(SplatParams& p) { walk<Form::Clipped, BallRule>(p); }
void BallKernelInside(SplatParams& p) { walk<Form::Inside, BallRule>(p); }

void ImageKernel0Clipped(SplatParams& p) { drawImage<Form::Clipped, OverBlend>(p); }
void ImageKernel0Inside(SplatParams& p) { drawImage<Form::Inside, OverBlend>(p); }
void ImageKernel2Clipped(SplatParams& p) { drawImage<Form::Clipped, AddBlend>(p); }
void ImageKernel2Inside(SplatParams& p) { drawImage<Form::Inside, AddBlend>(p); }
void ImageKernel3Clipped(SplatParams& p) { drawImage<Form::Clipped, SubtractBlend>(p); }
void ImageKernel3Inside(SplatParams& p) { drawImage<Form::Inside, SubtractBlend>(p); }
void ImageKernel4Clipped(SplatParams& p) { drawImage<Form::Clipped, MultiplyBlend>(p); }
void ImageKernel4Inside(SplatParams& p) { drawImage<Form::Inside, MultiplyBlend>(p); }

void SpotKernel0Clipped(SplatParams& p) { drawSpot<Form::Clipped, SpotAddBlend>(p); }
void SpotKernel0Inside(SplatParams& p) { drawSpot<Form::Inside, SpotAddBlend>(p); }
void SpotKernel1Clipped(SplatParams& p) { drawSpot<Form::Clipped, SpotWeightBlend>(p); }
void SpotKernel1Inside(SplatParams& p) { drawSpot<Form::Inside, SpotWeightBlend>(p); }
void SpotKernel3Clipped(SplatParams& p) { drawSpot<Form::Clipped, SpotSubtractBlend>(p); }
void SpotKernel3Inside(SplatParams& p) { drawSpot<Form::Inside, SpotSubtractBlend>(p); }
void SpotKernel4Clipped(SplatParams& p) { drawSpot<Form::Clipped, SpotMultiplyBlend>(p); }
void SpotKernel4Inside(SplatParams& p) { drawSpot<Form::Inside, SpotMultiplyBlend>(p); }

}  // namespace qv
