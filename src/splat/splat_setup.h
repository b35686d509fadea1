#pragma once
// From one draw entry and a brush to a kernel call: the splat set-up culls
// the entry against the near limit, derives the distance fade (fog) and the
// life fade, sizes the splat by perspective in quarter, half and whole pixels,
// places it on the frame and hands the block to the brush's inside or clipped
// kernel. It also owns the depth settings, which the scene sets once.
//
// The composition writes `tint` and `alpha` of the block before every
// drawSplat, refreshes the block's frame and table fields and `frame` below
// once per frame, makes the entry being drawn `currentEntry`, and copies the
// entry's system's `drawMode` and `drawHook` whenever the system changes.
//
// drawSplat is the set-up and the drawing in one. They also come apart:
// prepareSplat decides the splat's values (and records its box as drawn),
// and drawPrepared draws those values into the rows a block allows, which
// lets several threads draw one set-up frame band by band.
//
// The composition sets splats up in batches (queueSplat, setUpQueued): each
// step of the double arithmetic runs over the whole batch before the next,
// so the divisions of different splats overlap instead of waiting for each
// other. Each splat goes through the same operations in the same order as
// alone and gets the same bits; prepareSplat is a batch of one.

#include <cstdint>

#include "ground/hook.h"
#include "particles/particle.h"
#include "splat/splat_params.h"

namespace qv {

struct Brush;
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
// Distance-fade modes; any other non-zero mode is linear.
inline constexpr std::int32_t FADE_NONE = 0;
inline constexpr std::int32_t FADE_EASED = 1000;
inline constexpr std::int32_t FADE_EASED_SQUARED = 1001;
// The largest splat radius in pixels, and in quarter pixels the largest disc
// the coverage tables hold.
inline constexpr std::int32_t MAX_SPLAT_PIXELS = 255;
inline constexpr std::int32_t MAX_SPLAT_QUARTERS = 1020;
// Splats set up together.
inline constexpr int SPLAT_BATCH = 32;

// What the class set-ups read of the live frame; refreshed every frame.
struct SplatFrame {
  double projectionScale = 0.0;                // G: innerHeight * zoom / 600
  std::int32_t screenCentreX = 0;              // innerWidth / 2
  std::int32_t screenCentreY = 0;              // innerHeight / 2
  const std::int32_t* rescaleTable = nullptr;  // 256 rows of 256 byte offsets
  DrawnArea* drawn = nullptr;                  // where boxes that reach the frame are recorded
};

// What a set-up splat is: nothing to draw, one pixel, a box of pixels, or an
// entry nearer than the near limit (which may end the frame's drawing).
enum class SplatShape : std::uint8_t { None, Point, Box, Near };

// A splat set up now and drawn later: its values, its brush (the kernels and
// images) and its shape.
struct PreparedSplat {
  SplatValues values;
  const Brush* brush = nullptr;
  SplatShape shape = SplatShape::None;
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
  static double easeHalf(double u);
  // The life curve of a drawMode at r = countdown / lifespan.
  static double lifeCurve(std::int32_t mode, double r);
  // r / (r + (1 - r)(1 - b)); 0 when the denominator is 0.
  static double biasCurve(double r, double b);

  // Draws currentEntry, at view-space (x, y, z), with the brush. Returns 0, or
  // depthSortEnabled when the entry is nearer than the near limit.
  std::int32_t drawSplat(const Brush& brush, double x, double y, double z);

  // The set-up alone: the values of currentEntry's splat with the brush, from
  // `values`' tint and alpha and the frame of `params`. A point or box that
  // reaches the frame is recorded in frame.drawn.
  SplatShape prepareSplat(const Brush& brush, double x, double y, double z, SplatValues& values);

  // Queues currentEntry's splat with the brush, with the tint and alpha the
  // composition gives it; the life fade of a system with a drawHook is taken
  // now. True when the batch is full.
  bool queueSplat(const Brush& brush, std::uint32_t tint, std::int32_t alpha, double x, double y, double z);
  // Sets up the queued splats, in the order queued, and empties the queue:
  // take(values, brush, shape) for each point or box that reaches the frame.
  template <class Take>
  void setUpQueued(Take&& take) {
    computeBatch();
    for (int i = 0; i < batch_.count; ++i) {
      SplatValues v;
      v.tint = batch_.tint[i];
      v.alpha = batch_.alpha[i];
      const SplatShape shape = finishSplat(i, v);
      if (shape == SplatShape::Point || shape == SplatShape::Box) take(v, *batch_.brush[i], shape);
    }
    batch_.count = 0;
  }
  // Draws a prepared splat, whose values `p` holds, into the rows
  // p.minRow ... p.maxRow: the inside kernel when its box lies within those
  // rows and the frame's columns, else the clipped one.
  void drawPrepared(SplatParams& p, const Brush& brush, SplatShape shape) const;
  // What drawSplat returns for a shape.
  std::int32_t stopFlag(SplatShape shape) const { return shape == SplatShape::Near ? depthSortEnabled : 0; }

 private:
  // The queue, one array per value. The inputs, then what the double
  // arithmetic makes of them (the ints it truncates to).
  struct Batch {
    int count = 0;
    const Brush* brush[SPLAT_BATCH];
    std::uint32_t tint[SPLAT_BATCH];
    std::int32_t alpha[SPLAT_BATCH];
    double x[SPLAT_BATCH], y[SPLAT_BATCH], z[SPLAT_BATCH], size[SPLAT_BATCH];
    double sizeScale[SPLAT_BATCH], fadeDivisor[SPLAT_BATCH];
    std::int32_t countdown[SPLAT_BATCH], lifespan[SPLAT_BATCH], drawMode[SPLAT_BATCH];
    bool hooked[SPLAT_BATCH];  // life[] already holds the hook's fade
    double life[SPLAT_BATCH];
    // The distance fade e, the alpha times the life fade (before truncation),
    // the perspective factor s and the size q in quarter pixels.
    double fade[SPLAT_BATCH], lifeAlpha[SPLAT_BATCH], scale[SPLAT_BATCH], quarters[SPLAT_BATCH];
  };
  // The double arithmetic of every queued splat, step by step.
  void computeBatch();
  // The rest of one queued splat's set-up, into v (which holds its tint and
  // alpha), in the order of a set-up alone.
  SplatShape finishSplat(int i, SplatValues& v) const;
  // The class set-ups.
  SplatShape placePoint(SplatValues& p) const;
  SplatShape placeBox(SplatValues& p) const;

  Batch batch_;

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
