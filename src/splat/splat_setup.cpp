#include "splat/splat_setup.h"

#include <algorithm>

#include "splat/brush.h"
#include "frame/drawn_area.h"
#include "frame/lookup_tables.h"
#include "frame/pixel_ops.h"
#include "particles/draw_list.h"

namespace qv {

namespace {

// Life curves of a particle system's drawMode; any other mode keeps the
// particle at full strength for its whole life.
constexpr std::int32_t LIFE_LINEAR = 1;
constexpr std::int32_t LIFE_EASED = 1000;
constexpr std::int32_t LIFE_EASED_SQUARED = 1001;
constexpr std::int32_t LIFE_SMOOTH = 1002;
constexpr std::int32_t LIFE_BIAS_050 = 1003;
constexpr std::int32_t LIFE_BIAS_075 = 1004;
constexpr std::int32_t LIFE_BIAS_093 = 1005;
constexpr std::int32_t LIFE_BIAS_099 = 1006;
constexpr std::int32_t LIFE_UNTIL_END = 1007;

}  // namespace

SplatSetup::SplatSetup() {
  setPerspective(DEFAULT_PROJECTION_DISTANCE, DEFAULT_NEAR_LIMIT);
  setDepthFade(DEFAULT_FADE_END, DEFAULT_FADE_START, FADE_NONE);
}

void SplatSetup::setPerspective(double distance, double nearValue) {
  projectionDistance_ = distance;
  eyeZ_ = 2 * distance;
  capDepth_ = 2 * distance - distance / (2 * maxDepthScale_);
  nearLimit_ = nearValue == NEAR_AT_CAP_DEPTH ? capDepth_ : nearValue;
}

void SplatSetup::setDepthFade(double end, double start, std::int32_t mode) {
  fadeEnd_ = end;
  fadeStart_ = start;
  fadeRange_ = end - start;
  fadeMode_ = mode;
}

double SplatSetup::depthScale(double z) const {
  if (z <= capDepth_) return maxDepthScale_;
  return eyeZ_ / (eyeZ_ - z);
}

double SplatSetup::easeHalf(double u) {
  const double t = u / 2;
  return 6 * t * t - 4 * t * t * t;
}

double SplatSetup::biasCurve(double r, double b) {
  const double denominator = r + (1 - r) * (1 - b);
  if (denominator == 0.0) return 0.0;
  return r / denominator;
}

double SplatSetup::depthFade(double z) const {
  const double d = z - fadeStart_;
  if (d <= 0) return 1.0;
  // Also catches an empty or reversed fade range before it is divided by.
  if (d > fadeRange_) return 0.0;
  const double u = (fadeRange_ - d) / fadeRange_;
  switch (fadeMode_) {
    case FADE_EASED: return easeHalf(u);
    case FADE_EASED_SQUARED: {
      const double e = easeHalf(u);
      return e * e;
    }
    default: return 1 - d / fadeRange_;
  }
}

double SplatSetup::lifeFade() const {
  if (currentEntry == nullptr || currentEntry->lifespan == 0) return 0.0;
  if (drawHook) return drawHook();
  const double r = static_cast<double>(currentEntry->countdown) / static_cast<double>(currentEntry->lifespan);
  switch (drawMode) {
    case LIFE_LINEAR: return r;
    case LIFE_EASED: return easeHalf(r);
    case LIFE_EASED_SQUARED: {
      const double e = easeHalf(r);
      return e * e;
    }
    case LIFE_SMOOTH: return r * r * (3 - 2 * r);
    case LIFE_BIAS_050: return biasCurve(r, 0.5);
    case LIFE_BIAS_075: return biasCurve(r, 0.75);
    case LIFE_BIAS_093: return biasCurve(r, 0.93);
    case LIFE_BIAS_099: return biasCurve(r, 0.99);
    case LIFE_UNTIL_END: return r == 0.0 ? 0.0 : 1.0;
    default: return 1.0;
  }
}

std::int32_t SplatSetup::drawSplat(const Brush& brush, double x, double y, double z) {
  const SplatShape shape = prepareSplat(brush, x, y, z, params);
  drawPrepared(params, brush, shape);
  return stopFlag(shape);
}

SplatShape SplatSetup::prepareSplat(const Brush& brush, double x, double y, double z, SplatValues& p) const {
  // Nearer than the near limit: with a far-to-near order everything after
  // this entry is nearer still, and the non-zero result says so.
  if (z < nearLimit_) return SplatShape::Near;
  // A black tint adds or subtracts nothing.
  const int variant = brushVariant(brush.kind);
  if (p.tint == 0 && (variant == 2 || variant == 3)) return SplatShape::None;

  double e = 1.0;
  if (fadeMode_ != FADE_NONE) {
    e = depthFade(z);
    // A divisor of 0 would divide by zero; it counts as no division. The
    // usual divisor 1 changes nothing either, and a division is slow.
    if (brush.fadeDivisor != 0.0 && brush.fadeDivisor != 1.0) e = e / brush.fadeDivisor;
    if (e > 1.0) e = 1.0;
  }
  p.fog = static_cast<std::int32_t>(255 * e + 0.5);

  if (currentEntry != nullptr && currentEntry->lifespan != 0) {
    const double f = lifeFade();
    const double alpha = static_cast<double>(static_cast<std::uint32_t>(p.alpha));
    p.alpha = static_cast<std::int32_t>(alpha * (255 * f + 0.5) / 255);
  }
  if (p.fog == 0 || p.alpha == 0) return SplatShape::None;

  const double s = depthScale(z);
  const double size = currentEntry != nullptr ? currentEntry->size : 0.0;
  const double q = s * size * brush.sizeScale * frame.projectionScale * 400;
  p.sizeQuarter = static_cast<std::int32_t>(q + 0.5);
  p.sizeHalf = (p.sizeQuarter + 1) >> 1;
  p.sizePixel = (p.sizeHalf + 1) >> 1;
  const std::int32_t g = minPixelSize;
  if (g != 0 && p.sizePixel < g) {
    p.sizePixel = g;
    p.sizeHalf = std::max(p.sizeHalf, 2 * g);
    p.sizeQuarter = std::max(p.sizeQuarter, 4 * g);
  }
  if (p.sizePixel >= MAX_SPLAT_PIXELS + 1) {
    p.sizePixel = MAX_SPLAT_PIXELS;
    // The coverage tables end at the largest disc of a 255-pixel box; the
    // inner sizes below are bounded by this too.
    p.sizeQuarter = std::min(p.sizeQuarter, MAX_SPLAT_QUARTERS);
  }

  p.innerSize1 = 0;
  if (brush.innerScale1 != 0.0) {
    std::int32_t v = static_cast<std::int32_t>(brush.innerScale1 * q + 0.5);
    if (p.sizeQuarter - v < 2) v = std::max(p.sizeQuarter - 2, 0);
    p.innerSize1 = v;
  }
  p.innerSize2 = 0;
  if (brush.innerScale2 != 0.0) {
    std::int32_t w = static_cast<std::int32_t>(brush.innerScale2 * q + 0.5);
    if (p.innerSize1 - w < 2) w = std::max(p.innerSize1 - 2, 0);
    p.innerSize2 = w;
  }
  p.brushColour = brush.colour;

  // Without a back buffer there is nothing to draw into.
  if (params.pixels == nullptr) return SplatShape::None;
  switch (brushClass(brush.kind)) {
    case BRUSH_CLASS_POINT: return placePoint(p, x * s, y * s);
    case BRUSH_CLASS_BALL:
    case BRUSH_CLASS_PICTURE: {
      if (p.sizePixel == 0) return SplatShape::None;
      p.tinyBall = p.sizePixel == 2 ? 1 : 0;
      p.ballDepth = static_cast<std::int32_t>(8 * z * s - 0.5);
      return placeBox(p, x * s, y * s);
    }
    case BRUSH_CLASS_SPOT: return placeBox(p, x * s, y * s);
    default: return SplatShape::None;
  }
}

void SplatSetup::placeCentre(SplatValues& p, double sx, double sy) const {
  const double G = frame.projectionScale;
  p.centreX = static_cast<std::int32_t>(G * sx + frame.screenCentreX + 0.5);
  p.centreY = static_cast<std::int32_t>(G * sy + frame.screenCentreY + 0.5);
}

SplatShape SplatSetup::placePoint(SplatValues& p, double sx, double sy) const {
  if (p.sizePixel == 0) return SplatShape::None;
  placeCentre(p, sx, sy);
  // Negative coordinates fail too; a frame without rows or columns takes none.
  if (p.centreY < 0 || p.centreY > params.maxRow || p.centreX < 0 || p.centreX > params.maxColumn) {
    return SplatShape::None;
  }
  p.tint = p.tint == NO_TINT ? p.brushColour : multiplyChannels(p.brushColour, p.tint);
  if (frame.drawn != nullptr) frame.drawn->mark(p.centreY, p.centreY, p.centreX, p.centreX);
  return SplatShape::Point;
}

SplatShape SplatSetup::placeBox(SplatValues& p, double sx, double sy) const {
  if (p.sizePixel == 0) return SplatShape::None;
  placeCentre(p, sx, sy);
  p.radius = p.sizePixel - 1;
  p.left = p.centreX - p.radius;
  p.right = p.centreX + p.radius;
  p.top = p.centreY - p.radius;
  p.bottom = p.centreY + p.radius;
  const std::int32_t maxRow = params.maxRow;
  const std::int32_t maxColumn = params.maxColumn;
  if (p.top > maxRow || p.left > maxColumn || p.bottom < 0 || p.right < 0) return SplatShape::None;
  if (frame.drawn != nullptr) {
    frame.drawn->mark(std::max(p.top, 0), std::min(p.bottom, maxRow), std::max(p.left, 0),
                      std::min(p.right, maxColumn));
  }
  return SplatShape::Box;
}

void SplatSetup::drawPrepared(SplatParams& p, const Brush& brush, SplatShape shape) const {
  if (shape == SplatShape::Point) {
    if (p.centreY >= p.minRow && p.centreY <= p.maxRow) brush.insideKernel(p);
    return;
  }
  if (shape != SplatShape::Box || p.bottom < p.minRow || p.top > p.maxRow) return;
  p.rescaleRow = frame.rescaleTable != nullptr ? frame.rescaleTable + p.radius * RESCALE_SIZE : nullptr;
  for (int i = 0; i < QUADRANT_COUNT; ++i) p.quadrant[i] = brush.quadrantImages[i];
  if (p.top >= p.minRow && p.left >= 0 && p.bottom <= p.maxRow && p.right <= p.maxColumn) {
    brush.insideKernel(p);
  } else {
    brush.clippedKernel(p);
  }
}

}  // namespace qv
