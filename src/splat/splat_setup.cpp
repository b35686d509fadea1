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

SplatLaneSettings SplatSetup::laneSettings() const {
  SplatLaneSettings s;
  s.capDepth = capDepth_;
  s.eyeZ = eyeZ_;
  s.maxDepthScale = maxDepthScale_;
  s.fadeStart = fadeStart_;
  s.fadeRange = fadeRange_;
  s.fadeMode = fadeMode_;
  s.minPixelSize = minPixelSize;
  s.projectionScale = frame.projectionScale;
  s.screenCentreX = frame.screenCentreX;
  s.screenCentreY = frame.screenCentreY;
  s.maxColumn = params.maxColumn;
  s.maxRow = params.maxRow;
  return s;
}

std::int32_t SplatSetup::drawSplat(const Brush& brush, double x, double y, double z) {
  // Nearer than the near limit: with a far-to-near order everything after
  // this entry is nearer still, and the non-zero result says so.
  if (isNear(z)) return depthSortEnabled;
  if (blackTintSkips(brush, params.tint)) return 0;
  SplatBatch& b = single_;
  b.count = 1;
  const int i = 0;
  const DrawEntry* e = currentEntry;
  const std::int32_t lifespan = e != nullptr ? e->lifespan : 0;
  queueLane(b, i, brush, params.tint, params.alpha, x, y, z, e != nullptr ? e->size : 0.0,
            e != nullptr ? e->countdown : 0, lifespan, drawMode);
  if (drawHook && lifespan != 0) {
    b.life[i] = drawHook();
    b.hooked[i] = 1;
  }
  computeSplatLanes(laneSettings(), b);
  b.count = 0;

  // The block gets the values in the order the set-up makes them, up to
  // where it stops.
  SplatParams& p = params;
  p.fog = b.fog[i];
  p.alpha = b.drawnAlpha[i];
  if (p.fog == 0 || p.alpha == 0) return 0;
  p.sizeQuarter = b.sizeQuarter[i];
  p.sizeHalf = b.sizeHalf[i];
  p.sizePixel = b.sizePixel[i];
  p.innerSize1 = b.innerSize1[i];
  p.innerSize2 = b.innerSize2[i];
  p.brushColour = brush.colour;
  if (p.pixels == nullptr || brush.kindRecord.placement == SplatPlacement::None || p.sizePixel == 0) return 0;
  PreparedSplat s;
  prepare(b, i, s);
  if (b.drawn[i] != 0) {
    drawPrepared(p, s);
    return 0;
  }
  // Not drawn: only as far as the class set-up came.
  p.centreX = s.centreX;
  p.centreY = s.centreY;
  const SplatPlacement placement = brush.kindRecord.placement;
  if (placement == SplatPlacement::BallBox) {
    p.tinyBall = s.tinyBall;
    p.ballDepth = s.ballDepth;
  }
  if (placement != SplatPlacement::Point) {
    p.radius = s.radius;
    p.left = s.left();
    p.right = s.right();
    p.top = s.top();
    p.bottom = s.bottom();
  }
  return 0;
}

void SplatSetup::drawPrepared(SplatParams& p, const PreparedSplat& s) const {
  if (s.bottom() < p.minRow || s.top() > p.maxRow) return;
  s.copyTo(p);
  if (frame.drawn != nullptr) {
    frame.drawn->mark(std::max(s.top(), p.minRow), std::min(s.bottom(), p.maxRow), std::max(s.left(), 0),
                      std::min(s.right(), p.maxColumn));
  }
  const Brush& brush = *s.brush;
  const BrushKindRecord& kind = brush.kindRecord;
  if (kind.placement == SplatPlacement::Point) {
    // A point is never clipped: it lies on the frame.
    kind.insideKernel(p);
    return;
  }
  p.rescaleRow = frame.rescaleTable != nullptr ? frame.rescaleTable + s.radius * RESCALE_SIZE : nullptr;
  // Discs have no images (and their kernels read none).
  if (brush.hasImages()) {
    for (int q = 0; q < QUADRANT_COUNT; ++q) p.quadrant[q] = brush.quadrantImages[q].data();
  }
  if (s.top() >= p.minRow && s.left() >= 0 && s.bottom() <= p.maxRow && s.right() <= p.maxColumn) {
    kind.insideKernel(p);
  } else {
    kind.clippedKernel(p);
  }
}

}  // namespace qv
