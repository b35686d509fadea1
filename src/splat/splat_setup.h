#pragma once
// From one draw entry and a brush to a kernel call: the splat set-up culls
// the entry against the near limit, derives the distance fade (fog) and the
// life fade, sizes the splat by perspective in quarter, half and whole pixels,
// places it on the frame and hands the block to the brush's inside or clipped
// kernel. It also owns the depth settings, which the scene sets once.
//
// drawSplat is the set-up and the drawing of one splat. The composition sets
// splats up many at a time instead: it fills the lanes of a SplatBatch
// (splat_batch.h), setUpBatch turns them into PreparedSplat records, and
// drawPrepared draws a record into the rows a block allows, so that several
// threads can set up parts of a frame and then draw it band by band. Both
// ways run the same operations in the same order and give the same bits.
//
// The composition refreshes the block's frame and table fields and `frame`
// below once per frame.

#include <cstdint>

#include "frame/pixel_ops.h"
#include "ground/hook.h"
#include "particles/particle.h"
#include "splat/brush.h"
#include "splat/fade_curves.h"
#include "splat/splat_batch.h"
#include "splat/splat_params.h"

namespace qv {

struct DrawEntry;
class DrawnArea;

// Module defaults of the depth settings.
inline constexpr double DEFAULT_PROJECTION_DISTANCE = -100.0;
inline constexpr double DEFAULT_NEAR_LIMIT = -200.0;
inline constexpr double MAX_DEPTH_SCALE = 10.0;
inline constexpr double DEFAULT_FADE_START = 0.0;
inline constexpr double DEFAULT_FADE_END = 500.0;
// setPerspective's near value that means "use capDepth".
inline constexpr double NEAR_AT_CAP_DEPTH = -1.0;
// The largest splat radius in pixels, and in quarter pixels the largest disc
// the coverage tables hold.
inline constexpr std::int32_t MAX_SPLAT_PIXELS = 255;
inline constexpr std::int32_t MAX_SPLAT_QUARTERS = 1020;

// What the class set-ups read of the live frame; refreshed every frame.
struct SplatFrame {
  double projectionScale = 0.0;                // G: innerHeight * zoom / 600
  std::int32_t screenCentreX = 0;              // innerWidth / 2
  std::int32_t screenCentreY = 0;              // innerHeight / 2
  const std::int32_t* rescaleTable = nullptr;  // 256 rows of 256 byte offsets
  DrawnArea* drawn = nullptr;                  // where drawn boxes are recorded
};

// A splat set up now and drawn later, in one cache line: its brush and the
// values its kernel reads (a point's tint is its final colour) but its box,
// which follows from the centre and the radius (a point's box is its pixel).
struct alignas(64) PreparedSplat {
  const Brush* brush;
  std::uint32_t tint;
  std::int32_t alpha;
  std::int32_t fog;
  std::uint32_t brushColour;
  std::int32_t sizeQuarter;
  std::int32_t sizeHalf;
  std::int32_t sizePixel;
  std::int32_t innerSize1;
  std::int32_t innerSize2;
  std::int32_t centreX;
  std::int32_t centreY;
  std::int32_t radius;
  std::int32_t tinyBall;
  std::int32_t ballDepth;

  std::int32_t left() const { return centreX - radius; }
  std::int32_t right() const { return centreX + radius; }
  std::int32_t top() const { return centreY - radius; }
  std::int32_t bottom() const { return centreY + radius; }
  // Every value, as the kernels read them.
  void copyTo(SplatValues& v) const {
    v.tint = tint;
    v.alpha = alpha;
    v.fog = fog;
    v.brushColour = brushColour;
    v.sizeQuarter = sizeQuarter;
    v.sizeHalf = sizeHalf;
    v.sizePixel = sizePixel;
    v.innerSize1 = innerSize1;
    v.innerSize2 = innerSize2;
    v.centreX = centreX;
    v.centreY = centreY;
    v.radius = radius;
    v.left = left();
    v.right = right();
    v.top = top();
    v.bottom = bottom();
    v.tinyBall = tinyBall;
    v.ballDepth = ballDepth;
  }
};

class SplatSetup {
 public:
  SplatSetup();

  // The per-splat block the kernels read.
  SplatParams params;
  SplatFrame frame;

  // Per-system values, copied by the composition when the system changes.
  std::int32_t drawMode = LIFE_SMOOTH;
  BasicHook<double> drawHook;
  // The entry being drawn (the draw list's current entry).
  const DrawEntry* currentEntry = nullptr;

  // Depth settings the scene writes directly.
  std::int32_t depthSortEnabled = 1;  // also drawSplat's result nearer than nearLimit
  std::int32_t minPixelSize = 0;      // 0: no minimum

  // D fixes eyeZ = 2 D and capDepth = 2 D - D / (2 maxDepthScale); a near
  // value of exactly -1.0 puts the near limit at capDepth.
  void setPerspective(double distance, double nearValue);
  // The far end comes first.
  void setDepthFade(double end, double start, std::int32_t mode);

  double projectionDistance() const { return projectionDistance_; }
  double eyeZ() const { return eyeZ_; }
  double maxDepthScale() const { return maxDepthScale_; }
  double capDepth() const { return capDepth_; }
  double nearLimit() const { return nearLimit_; }
  double fadeStart() const { return fadeStart_; }
  double fadeEnd() const { return fadeEnd_; }
  double fadeRange() const { return fadeRange_; }
  std::int32_t fadeMode() const { return fadeMode_; }

  // The perspective factor at view depth z.
  double depthScale(double z) const;
  // The distance fade at view depth z, 0 ... 1 (for a non-zero fadeMode).
  double depthFade(double z) const;
  // The life fade of currentEntry.
  double lifeFade() const;

  // 6 t^2 - 4 t^3 with t = u / 2.
  static double easeHalf(double u) { return qv::easeHalf(u); }
  // The life curve of a drawMode at r = countdown / lifespan.
  static double lifeCurve(std::int32_t mode, double r);
  // Whether a splat of a particle at the end of its life span (countdown 0)
  // is left without alpha by the life curve of `mode`, whatever its alpha
  // (0 ... 255): the set-up would find nothing to draw.
  static bool lifeEndLeavesNoAlpha(std::int32_t mode) {
    const double weight = 255 * lifeCurve(mode, 0.0) + 0.5;  // alpha times this, over 255, truncates to 0
    return weight > -0.99 && weight < 0.99;
  }
  // r / (r + (1 - r)(1 - b)); 0 when the denominator is 0.
  static double biasCurve(double r, double b) { return qv::biasCurve(r, b); }

  // Draws currentEntry, at view-space (x, y, z), with the brush. Returns 0, or
  // depthSortEnabled when the entry is nearer than the near limit. The block
  // `params` holds the splat's values afterwards, from its tint and alpha.
  std::int32_t drawSplat(const Brush& brush, double x, double y, double z);

  // The first two steps of a set-up, which decide whether a splat gets a
  // lane: false for an entry nearer than the near limit, and for a black
  // tint where the brush adds or subtracts.
  bool isNear(double z) const { return z < nearLimit_; }
  static bool blackTintSkips(const Brush& brush, std::uint32_t tint) {
    return tint == 0 && brush.kindRecord.skipsBlackTint;
  }

  // What the lanes read of the settings and the live frame; once per frame.
  SplatLaneSettings laneSettings() const;
  // Fills lane i with the splat of an entry (at view-space x, y, z, with its
  // size, countdown and lifespan) and a brush, with the tint and alpha the
  // composition gives it and its system's life curve; a caller with a life
  // hook then sets the lane's life fade. The caller counts the lanes.
  static void queueLane(SplatBatch& b, int i, const Brush& brush, std::uint32_t tint, std::int32_t alpha,
                        double x, double y, double z, double size, std::int32_t countdown,
                        std::int32_t lifespan, std::int32_t mode) {
    b.brush[i] = &brush;
    b.tint[i] = tint;
    b.alpha[i] = alpha;
    b.x[i] = x;
    b.y[i] = y;
    b.z[i] = z;
    b.size[i] = size;
    b.countdown[i] = countdown;
    b.lifespan[i] = lifespan;
    b.drawMode[i] = mode;
    b.hooked[i] = 0;
    b.sizeScale[i] = brush.sizeScale;
    b.fadeDivisor[i] = brush.fadeDivisor;
    b.innerScale1[i] = brush.innerScale1;
    b.innerScale2[i] = brush.innerScale2;
    b.placement[i] = static_cast<std::int32_t>(brush.kindRecord.placement);
  }
  // Sets up every lane of the batch and empties it: take(batch, lane) for
  // each splat that reaches the frame with something to draw, in lane order
  // (prepare makes it a record).
  template <class Take>
  void setUpBatch(const SplatLaneSettings& settings, SplatBatch& batch, Take&& take) const {
    computeSplatLanes(settings, batch);
    const int n = params.pixels != nullptr ? batch.count : 0;  // without a back buffer, nothing
    for (int i = 0; i < n; ++i) {
      if (batch.drawn[i] != 0) take(batch, i);
    }
    batch.count = 0;
  }

  // Draws a prepared splat into the rows p.minRow ... p.maxRow, recording
  // what it touches in frame.drawn: the inside kernel when its box lies
  // within those rows and the frame's columns, else the clipped one.
  void drawPrepared(SplatParams& p, const PreparedSplat& s) const;

  // Lane i of a computed batch as a record, written in place (a record
  // copied whole right after its fields were written would wait for them).
  // A point takes its final colour: the brush colour, tinted.
  static void prepare(const SplatBatch& b, int i, PreparedSplat& s) {
    const Brush& brush = *b.brush[i];
    s.brush = &brush;
    PreparedSplat& v = s;
    v.tint = b.tint[i];
    if (brush.kindRecord.placement == SplatPlacement::Point) {
      v.tint = v.tint == NO_TINT ? brush.colour : multiplyChannels(brush.colour, v.tint);
    }
    v.alpha = b.drawnAlpha[i];
    v.fog = b.fog[i];
    v.brushColour = brush.colour;
    v.sizeQuarter = b.sizeQuarter[i];
    v.sizeHalf = b.sizeHalf[i];
    v.sizePixel = b.sizePixel[i];
    v.innerSize1 = b.innerSize1[i];
    v.innerSize2 = b.innerSize2[i];
    v.centreX = b.centreX[i];
    v.centreY = b.centreY[i];
    v.radius = b.radius[i];
    v.tinyBall = b.tinyBall[i];
    v.ballDepth = b.ballDepth[i];
  }

 private:
  SplatBatch single_;  // drawSplat's one lane

  double projectionDistance_ = DEFAULT_PROJECTION_DISTANCE;
  double eyeZ_ = 0.0;
  double maxDepthScale_ = MAX_DEPTH_SCALE;
  double capDepth_ = 0.0;
  double nearLimit_ = DEFAULT_NEAR_LIMIT;
  double fadeStart_ = DEFAULT_FADE_START;
  double fadeEnd_ = DEFAULT_FADE_END;
  double fadeRange_ = 0.0;
  std::int32_t fadeMode_ = FADE_NONE;
};

}  // namespace qv
