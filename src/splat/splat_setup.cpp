#include "splat/splat_setup.h"

#include <algorithm>

#include "frame/drawn_area.h"
#include "frame/lookup_tables.h"
#include "frame/pixel_ops.h"
#include "particles/draw_list.h"
#include "splat/brush.h"

namespace qv {

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

namespace {

// The curves of the two fades, chosen by mode once: use(curve) gets the
// curve as a small function object, so one loop over a whole batch runs
// the same curve for every splat.
template <class Use>
auto withFadeCurve(std::int32_t mode, Use&& use) {
  switch (mode) {
    case FADE_EASED: return use([](double u, double, double) { return SplatSetup::easeHalf(u); });
    case FADE_EASED_SQUARED:
      return use([](double u, double, double) {
        const double e = SplatSetup::easeHalf(u);
        return e * e;
      });
    default: return use([](double, double d, double range) { return 1 - d / range; });
  }
}

template <class Use>
auto withLifeCurve(std::int32_t mode, Use&& use) {
  switch (mode) {
    case LIFE_LINEAR: return use([](double r) { return r; });
    case LIFE_EASED: return use([](double r) { return SplatSetup::easeHalf(r); });
    case LIFE_EASED_SQUARED:
      return use([](double r) {
        const double e = SplatSetup::easeHalf(r);
        return e * e;
      });
    case LIFE_SMOOTH: return use([](double r) { return r * r * (3 - 2 * r); });
    case LIFE_BIAS_050: return use([](double r) { return SplatSetup::biasCurve(r, 0.5); });
    case LIFE_BIAS_075: return use([](double r) { return SplatSetup::biasCurve(r, 0.75); });
    case LIFE_BIAS_093: return use([](double r) { return SplatSetup::biasCurve(r, 0.93); });
    case LIFE_BIAS_099: return use([](double r) { return SplatSetup::biasCurve(r, 0.99); });
    case LIFE_UNTIL_END: return use([](double r) { return r == 0.0 ? 0.0 : 1.0; });
    default: return use([](double) { return 1.0; });
  }
}

}  // namespace

double SplatSetup::depthFade(double z) const {
  const double d = z - fadeStart_;
  if (d <= 0) return 1.0;
  // Also catches an empty or reversed fade range before it is divided by.
  if (d > fadeRange_) return 0.0;
  const double u = (fadeRange_ - d) / fadeRange_;
  return withFadeCurve(fadeMode_, [&](auto curve) { return curve(u, d, fadeRange_); });
}

double SplatSetup::lifeFade() const {
  if (currentEntry == nullptr || currentEntry->lifespan == 0) return 0.0;
  if (drawHook) return drawHook();
  return lifeCurve(
      drawMode, static_cast<double>(currentEntry->countdown) / static_cast<double>(currentEntry->lifespan));
}

double SplatSetup::lifeCurve(std::int32_t mode, double r) {
  return withLifeCurve(mode, [r](auto curve) { return curve(r); });
}

std::int32_t SplatSetup::drawSplat(const Brush& brush, double x, double y, double z) {
  const SplatShape shape = prepareSplat(brush, x, y, z, params);
  drawPrepared(params, brush, shape);
  return stopFlag(shape);
}

SplatShape SplatSetup::prepareSplat(const Brush& brush, double x, double y, double z, SplatValues& values) {
  batch_.count = 0;
  queueSplat(brush, values.tint, values.alpha, x, y, z);
  computeBatch();
  batch_.count = 0;
  return finishSplat(0, values);
}

// Whether a splat goes on past the near limit and the black-tint test, the
// first two steps of its set-up.
namespace {
bool blackTintSkips(const Brush& brush, std::uint32_t tint) {
  return tint == 0 && brush.kindRecord.skipsBlackTint;
}
}  // namespace

bool SplatSetup::queueSplat(const Brush& brush, std::uint32_t tint, std::int32_t alpha, double x, double y,
                            double z) {
  Batch& b = batch_;
  const int i = b.count++;
  const DrawEntry* entry = currentEntry;
  b.brush[i] = &brush;
  b.tint[i] = tint;
  b.alpha[i] = alpha;
  b.x[i] = x;
  b.y[i] = y;
  b.z[i] = z;
  b.size[i] = entry != nullptr ? entry->size : 0.0;
  b.sizeScale[i] = brush.sizeScale;
  b.fadeDivisor[i] = brush.fadeDivisor;
  b.countdown[i] = entry != nullptr ? entry->countdown : 0;
  b.lifespan[i] = entry != nullptr ? entry->lifespan : 0;
  b.drawMode[i] = drawMode;
  // A hook runs for the entry being drawn, and only where a set-up alone
  // would run it.
  b.hooked[i] = drawHook && b.lifespan[i] != 0 && !(z < nearLimit_) && !blackTintSkips(brush, tint);
  if (b.hooked[i]) b.life[i] = drawHook();
  return b.count == SPLAT_BATCH;
}

// Each step is one loop over the batch without calls or branches that
// would stop the compiler from running several splats in one instruction;
// a value a splat never uses (a fade of a splat without a life span, a
// factor past the cap depth) is still computed, from a harmless divisor.
void SplatSetup::computeBatch() {
  Batch& b = batch_;
  const int n = b.count;
  double r[SPLAT_BATCH];
  for (int i = 0; i < n; ++i) {
    const double span = b.lifespan[i] != 0 ? static_cast<double>(b.lifespan[i]) : 1.0;
    r[i] = static_cast<double>(b.countdown[i]) / span;
  }
  // A batch comes mostly from one system, so from one curve.
  bool oneMode = true;
  for (int i = 1; i < n; ++i) oneMode = oneMode && b.drawMode[i] == b.drawMode[0];
  double curve[SPLAT_BATCH];
  if (oneMode && n > 0) {
    withLifeCurve(b.drawMode[0], [&](auto lifeCurveOf) {
      for (int i = 0; i < n; ++i) curve[i] = lifeCurveOf(r[i]);
    });
  } else {
    for (int i = 0; i < n; ++i) curve[i] = lifeCurve(b.drawMode[i], r[i]);
  }
  for (int i = 0; i < n; ++i) {
    if (!b.hooked[i]) b.life[i] = curve[i];
  }
  for (int i = 0; i < n; ++i) {
    const double alpha = static_cast<double>(static_cast<std::uint32_t>(b.alpha[i]));
    b.lifeAlpha[i] = alpha * (255 * b.life[i] + 0.5) / 255;
  }

  if (fadeMode_ == FADE_NONE) {
    for (int i = 0; i < n; ++i) b.fade[i] = 1.0;
  } else {
    const double start = fadeStart_;
    const double range = fadeRange_;
    const double rangeDivisor = range != 0.0 ? range : 1.0;
    withFadeCurve(fadeMode_, [&](auto fadeCurveOf) {
      for (int i = 0; i < n; ++i) {
        const double d = b.z[i] - start;
        const double u = (range - d) / rangeDivisor;
        const double faded = fadeCurveOf(u, d, rangeDivisor);
        double e = d <= 0 ? 1.0 : d > range ? 0.0 : faded;
        // A divisor of 0 would divide by zero; it counts as no division, and
        // so does the usual 1.
        const double divisor = b.fadeDivisor[i];
        const bool divides = divisor != 0.0 && divisor != 1.0;
        e = divides ? e / (divides ? divisor : 1.0) : e;
        b.fade[i] = e > 1.0 ? 1.0 : e;
      }
    });
  }

  const double G = frame.projectionScale;
  for (int i = 0; i < n; ++i) {
    const double z = b.z[i];
    const bool capped = z <= capDepth_;
    const double s = capped ? maxDepthScale_ : eyeZ_ / (capped ? 1.0 : eyeZ_ - z);
    b.scale[i] = s;
    b.quarters[i] = s * b.size[i] * b.sizeScale[i] * G * 400;
  }
}

SplatShape SplatSetup::finishSplat(int i, SplatValues& p) const {
  const Batch& b = batch_;
  const Brush& brush = *b.brush[i];
  // Nearer than the near limit: with a far-to-near order everything after
  // this entry is nearer still, and the non-zero result says so.
  if (b.z[i] < nearLimit_) return SplatShape::Near;
  // A black tint adds or subtracts nothing.
  if (blackTintSkips(brush, p.tint)) return SplatShape::None;
  p.fog = static_cast<std::int32_t>(255 * b.fade[i] + 0.5);
  if (b.lifespan[i] != 0) p.alpha = static_cast<std::int32_t>(b.lifeAlpha[i]);
  if (p.fog == 0 || p.alpha == 0) return SplatShape::None;

  const double q = b.quarters[i];
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
  const SplatPlacement placement = brush.kindRecord.placement;
  if (placement == SplatPlacement::None) return SplatShape::None;
  if (p.sizePixel == 0) return SplatShape::None;
  const double s = b.scale[i];
  if (placement == SplatPlacement::BallBox) {
    p.tinyBall = p.sizePixel == 2 ? 1 : 0;
    p.ballDepth = static_cast<std::int32_t>(8 * b.z[i] * s - 0.5);
  }
  // The pixel centre of the projected position (x s, y s).
  const double G = frame.projectionScale;
  p.centreX = static_cast<std::int32_t>(G * (b.x[i] * s) + frame.screenCentreX + 0.5);
  p.centreY = static_cast<std::int32_t>(G * (b.y[i] * s) + frame.screenCentreY + 0.5);
  return placement == SplatPlacement::Point ? placePoint(p) : placeBox(p);
}

SplatShape SplatSetup::placePoint(SplatValues& p) const {
  // Negative coordinates fail too; a frame without rows or columns takes none.
  if (p.centreY < 0 || p.centreY > params.maxRow || p.centreX < 0 || p.centreX > params.maxColumn) {
    return SplatShape::None;
  }
  p.tint = p.tint == NO_TINT ? p.brushColour : multiplyChannels(p.brushColour, p.tint);
  // Its box is its pixel.
  p.left = p.right = p.centreX;
  p.top = p.bottom = p.centreY;
  if (frame.drawn != nullptr) frame.drawn->mark(p.centreY, p.centreY, p.centreX, p.centreX);
  return SplatShape::Point;
}

SplatShape SplatSetup::placeBox(SplatValues& p) const {
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
    if (p.top >= p.minRow && p.top <= p.maxRow) brush.kindRecord.insideKernel(p);
    return;
  }
  if (shape != SplatShape::Box || p.bottom < p.minRow || p.top > p.maxRow) return;
  p.rescaleRow = frame.rescaleTable != nullptr ? frame.rescaleTable + p.radius * RESCALE_SIZE : nullptr;
  for (int i = 0; i < QUADRANT_COUNT; ++i) p.quadrant[i] = brush.quadrantImages[i].data();
  if (p.top >= p.minRow && p.left >= 0 && p.bottom <= p.maxRow && p.right <= p.maxColumn) {
    brush.kindRecord.insideKernel(p);
  } else {
    brush.kindRecord.clippedKernel(p);
  }
}

}  // namespace qv
