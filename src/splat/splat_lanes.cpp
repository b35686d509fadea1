// The splat set-up over a batch of lanes, and its choice of instruction set.
// The steps are loops over the lanes without calls, and branches only as
// selections, so the compiler runs as many splats per instruction as the
// instruction set has room for. A value a lane never uses (a life fade of
// an entry without a life span, a factor past the cap depth, the sizes of a
// splat with no fog) is still computed, from a harmless divisor; only the
// lanes marked drawn are read afterwards, and their values are those of the
// set-up of one splat, operation for operation.
//
// The same body is compiled once per instruction set (always inlined into a
// function built for that set); SSE2 is every x86-64's baseline. Neither
// form fuses a multiply and an add (-ffp-contract=off), so each lane's
// doubles round alike whatever the width.

#include <cstdint>

#include "splat/fade_curves.h"
#include "splat/splat_batch.h"
#include "splat/splat_setup.h"

namespace qv {

namespace {

// The largest radius in pixels and, in quarter pixels, the largest disc the
// coverage tables hold.
constexpr std::int32_t MAX_PIXELS = MAX_SPLAT_PIXELS;
constexpr std::int32_t MAX_QUARTERS = MAX_SPLAT_QUARTERS;

// The life fade, alpha times it, the distance fade and the size in quarter
// pixels, each over all lanes.
[[gnu::always_inline]] inline void computeFades(const SplatLaneSettings& s, SplatBatch& b) {
  const int n = b.count;
  double r[SPLAT_LANES];
  for (int i = 0; i < n; ++i) {
    const double span = b.lifespan[i] != 0 ? static_cast<double>(b.lifespan[i]) : 1.0;
    r[i] = static_cast<double>(b.countdown[i]) / span;
  }
  // A batch comes mostly from one system, so from one curve.
  bool oneMode = true;
  for (int i = 1; i < n; ++i) oneMode = oneMode && b.drawMode[i] == b.drawMode[0];
  double curve[SPLAT_LANES];
  if (oneMode) {
    withLifeCurve(b.drawMode[0], [&](auto lifeCurveOf) {
      for (int i = 0; i < n; ++i) curve[i] = lifeCurveOf(r[i]);
    });
  } else {
    for (int i = 0; i < n; ++i) {
      curve[i] = withLifeCurve(b.drawMode[i], [&](auto lifeCurveOf) { return lifeCurveOf(r[i]); });
    }
  }
  for (int i = 0; i < n; ++i) {
    const double life = b.hooked[i] != 0 ? b.life[i] : curve[i];
    const double alpha = static_cast<double>(static_cast<std::uint32_t>(b.alpha[i]));
    b.lifeAlpha[i] = alpha * (255 * life + 0.5) / 255;
  }

  if (s.fadeMode == FADE_NONE) {
    for (int i = 0; i < n; ++i) b.fade[i] = 1.0;
  } else {
    const double start = s.fadeStart;
    const double range = s.fadeRange;
    const double rangeDivisor = range != 0.0 ? range : 1.0;
    withFadeCurve(s.fadeMode, [&](auto fadeCurveOf) {
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

  const double G = s.projectionScale;
  for (int i = 0; i < n; ++i) {
    const double z = b.z[i];
    const bool capped = z <= s.capDepth;
    const double factor = capped ? s.maxDepthScale : s.eyeZ / (capped ? 1.0 : s.eyeZ - z);
    b.scale[i] = factor;
    b.quarters[i] = factor * b.size[i] * b.sizeScale[i] * G * 400;
  }
}

// Everything the doubles truncate to, and whether the splat is drawn; a
// few values per loop, so that each loop stays free of branches.
[[gnu::always_inline]] inline void computeInts(const SplatLaneSettings& s, SplatBatch& b) {
  const int n = b.count;
  for (int i = 0; i < n; ++i) {
    const std::int32_t faded = static_cast<std::int32_t>(b.lifeAlpha[i]);
    b.fog[i] = static_cast<std::int32_t>(255 * b.fade[i] + 0.5);
    b.drawnAlpha[i] = b.lifespan[i] != 0 ? faded : b.alpha[i];
  }

  const std::int32_t g = s.minPixelSize;
  for (int i = 0; i < n; ++i) {
    std::int32_t quarter = static_cast<std::int32_t>(b.quarters[i] + 0.5);
    std::int32_t half = (quarter + 1) >> 1;
    std::int32_t pixel = (half + 1) >> 1;
    const bool raise = (g != 0) & (pixel < g);
    half = (raise & (half < 2 * g)) ? 2 * g : half;
    quarter = (raise & (quarter < 4 * g)) ? 4 * g : quarter;
    pixel = raise ? g : pixel;
    const bool cap = pixel >= MAX_PIXELS + 1;
    pixel = cap ? MAX_PIXELS : pixel;
    // The coverage tables end at the largest disc of a 255-pixel box; the
    // inner sizes below are bounded by this too.
    b.sizeQuarter[i] = (cap & (quarter > MAX_QUARTERS)) ? MAX_QUARTERS : quarter;
    b.sizeHalf[i] = half;
    b.sizePixel[i] = pixel;
  }

  for (int i = 0; i < n; ++i) {
    const double q = b.quarters[i];
    const std::int32_t quarter = b.sizeQuarter[i];
    const std::int32_t narrowest1 = quarter - 2 < 0 ? 0 : quarter - 2;
    std::int32_t v = static_cast<std::int32_t>(b.innerScale1[i] * q + 0.5);
    v = quarter - v < 2 ? narrowest1 : v;
    const std::int32_t inner1 = b.innerScale1[i] != 0.0 ? v : 0;
    const std::int32_t narrowest2 = inner1 - 2 < 0 ? 0 : inner1 - 2;
    std::int32_t w = static_cast<std::int32_t>(b.innerScale2[i] * q + 0.5);
    w = inner1 - w < 2 ? narrowest2 : w;
    b.innerSize1[i] = inner1;
    b.innerSize2[i] = b.innerScale2[i] != 0.0 ? w : 0;
  }

  const double G = s.projectionScale;
  for (int i = 0; i < n; ++i) {
    const double factor = b.scale[i];
    const std::int32_t depth = static_cast<std::int32_t>(8 * b.z[i] * factor - 0.5);
    const bool ballBox = b.placement[i] == static_cast<std::int32_t>(SplatPlacement::BallBox);
    b.ballDepth[i] = ballBox ? depth : 0;
    b.tinyBall[i] = ballBox & (b.sizePixel[i] == 2);
    // The pixel centre of the projected position (x s, y s).
    b.centreX[i] = static_cast<std::int32_t>(G * (b.x[i] * factor) + s.screenCentreX + 0.5);
    b.centreY[i] = static_cast<std::int32_t>(G * (b.y[i] * factor) + s.screenCentreY + 0.5);
  }

  for (int i = 0; i < n; ++i) {
    // A point must lie on the frame; a box of radius r is wholly outside
    // when its top row (cy - r) is below the last row, its left column past
    // the last column, or its bottom or right edge before the first: the
    // same comparisons with r moved across, which cannot overflow.
    const std::int32_t cx = b.centreX[i];
    const std::int32_t cy = b.centreY[i];
    const std::int32_t pixel = b.sizePixel[i];
    const std::int32_t r = pixel - 1;
    const std::int32_t placement = b.placement[i];
    const bool point = placement == static_cast<std::int32_t>(SplatPlacement::Point);
    b.radius[i] = point ? 0 : r;  // a point's box is its pixel
    const bool pointOnFrame = (cy >= 0) & (cy <= s.maxRow) & (cx >= 0) & (cx <= s.maxColumn);
    const bool boxOnFrame = (cy <= s.maxRow + r) & (cx <= s.maxColumn + r) & (cy >= -r) & (cx >= -r);
    const bool placed = placement != static_cast<std::int32_t>(SplatPlacement::None);
    const bool seen = (b.fog[i] != 0) & (b.drawnAlpha[i] != 0) & placed & (pixel != 0);
    b.drawn[i] = seen & (point ? pointOnFrame : boxOnFrame);
  }
}

[[gnu::always_inline]] inline void computeLanes(const SplatLaneSettings& s, SplatBatch& b) {
  computeFades(s, b);
  computeInts(s, b);
}

void computeLanesSse2(const SplatLaneSettings& s, SplatBatch& b) { computeLanes(s, b); }

#if defined(__x86_64__) && !defined(_WIN32)
// (Windows is left to the baseline: its compilers do not keep the stack
// aligned for the wider registers.)
#define QV_WIDE_LANES 1
[[gnu::target("avx2")]] void computeLanesAvx2(const SplatLaneSettings& s, SplatBatch& b) {
  computeLanes(s, b);
}
[[gnu::target("avx512f,avx512vl,avx512dq,avx512bw")]] void computeLanesAvx512(const SplatLaneSettings& s,
                                                                              SplatBatch& b) {
  computeLanes(s, b);
}
#endif

using LaneFunction = void (*)(const SplatLaneSettings&, SplatBatch&);

LaneFunction laneFunction(LaneIsa isa) {
  switch (isa) {
#ifdef QV_WIDE_LANES
    case LaneIsa::Avx2: return computeLanesAvx2;
    case LaneIsa::Avx512: return computeLanesAvx512;
#endif
    default: return computeLanesSse2;
  }
}

LaneIsa widestIsa() {
  if (laneIsaAvailable(LaneIsa::Avx512)) return LaneIsa::Avx512;
  if (laneIsaAvailable(LaneIsa::Avx2)) return LaneIsa::Avx2;
  return LaneIsa::Sse2;
}

struct LaneChoice {
  LaneIsa isa = widestIsa();
  LaneFunction function = laneFunction(isa);
};

LaneChoice& laneChoice() {
  static LaneChoice choice;
  return choice;
}

}  // namespace

bool laneIsaAvailable(LaneIsa isa) {
  switch (isa) {
    case LaneIsa::Sse2: return true;
#ifdef QV_WIDE_LANES
    case LaneIsa::Avx2: return __builtin_cpu_supports("avx2");
    case LaneIsa::Avx512:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
             __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512bw");
#endif
    default: return false;
  }
}

void useLaneIsa(LaneIsa isa) {
  LaneChoice& choice = laneChoice();
  choice.isa = laneIsaAvailable(isa) ? isa : LaneIsa::Sse2;
  choice.function = laneFunction(choice.isa);
}

LaneIsa laneIsaInUse() { return laneChoice().isa; }

void computeSplatLanes(const SplatLaneSettings& settings, SplatBatch& batch) {
  laneChoice().function(settings, batch);
}

}  // namespace qv
