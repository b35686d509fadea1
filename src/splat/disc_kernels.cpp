// The flat anti-aliased discs, rings and targets of class 4 brushes without
// images: the shared quadrant walk with the coverage-table rule and a blend
// toward one colour computed per splat.

#include <cstdint>

#include "frame/pixel_ops.h"
#include "splat/coverage_mask.h"
#include "splat/kernels.h"
#include "splat/quadrant_traversal.h"
#include "splat/splat_colours.h"

namespace qv {
namespace {

// Each blend knows its splat colour and how a coverage w (1 ... 255) is
// weighed before use; a weighed 0 means the pixel gets nothing. A weighed
// coverage becomes a per-distance value once per row (`prepare`), which
// `blend` then combines with each of the up to four frame pixels at that
// distance (`span` with a stretch of them); `apply` is the two in one, for
// the ring and the one-pixel disc.

struct DiscOverBlend {
  std::uint32_t colour;
  int alpha;
  explicit DiscOverBlend(SplatParams& p) : alpha(p.alpha) {
    const SplatColours c(p);
    colour = c.tinted(p.brushColour);
    if (c.fogOn) colour = lerpChannels(c.background, colour, c.fog);
  }
  int weigh(int w) const { return alpha != FULL ? w * alpha / 255 : w; }
  std::uint32_t prepare(int w) const { return static_cast<std::uint32_t>(w); }
  std::uint32_t blend(std::uint32_t P, std::uint32_t w) const {
    return w == FULL ? colour : lerpChannels(P, colour, static_cast<int>(w));
  }
  void span(std::uint32_t* P, const std::uint32_t* v, int n) const {
    for (int x = 0; x < n; ++x) P[x] = blend(P[x], v[x]);
  }
  void apply(std::uint32_t& P, int w) const { P = blend(P, prepare(w)); }
};

// The add blend runs for most pixels of the scene; addSaturate and
// scaleColour work word-wide, with no per-channel compares, so a row of it
// vectorises.
struct DiscAddBlend {
  std::uint32_t colour;
  explicit DiscAddBlend(SplatParams& p) {
    foldOpacity(p);
    const SplatColours c(p);
    colour = c.fadeColour(c.tinted(p.brushColour));
  }
  int weigh(int w) const { return w; }
  std::uint32_t prepare(int w) const { return w == FULL ? colour : scaleColour(colour, w); }
  static std::uint32_t blend(std::uint32_t P, std::uint32_t v) { return addSaturate(P, v); }
  static void span(std::uint32_t* P, const std::uint32_t* v, int n) { addSaturateSpan(P, v, n); }
  static void quad(std::uint32_t* P, const std::uint32_t* v) { addSaturateMarkedQuad(P, v); }
  void apply(std::uint32_t& P, int w) const { P = blend(P, prepare(w)); }
};

struct DiscSubtractBlend {
  std::uint32_t colour;
  explicit DiscSubtractBlend(SplatParams& p) {
    foldOpacity(p);
    const SplatColours c(p);
    colour = c.fadeColour(c.tinted(p.brushColour));
  }
  int weigh(int w) const { return w; }
  std::uint32_t prepare(int w) const { return w == FULL ? colour : scaleColour(colour, w); }
  static std::uint32_t blend(std::uint32_t P, std::uint32_t v) { return subtractFloor(P, v); }
  static void span(std::uint32_t* P, const std::uint32_t* v, int n) { subtractFloorSpan(P, v, n); }
  static void quad(std::uint32_t* P, const std::uint32_t* v) { subtractFloorMarkedQuad(P, v); }
  void apply(std::uint32_t& P, int w) const { P = blend(P, prepare(w)); }
};

struct DiscMultiplyBlend {
  std::uint32_t colour;
  explicit DiscMultiplyBlend(SplatParams& p) {
    foldOpacity(p);
    const SplatColours c(p);
    colour = c.whitened(c.tinted(p.brushColour));
  }
  int weigh(int w) const { return w; }
  std::uint32_t prepare(int w) const { return w == FULL ? colour : lerpChannels(WHITE, colour, w); }
  static std::uint32_t blend(std::uint32_t P, std::uint32_t v) { return multiplyChannels(P, v); }
  static void span(std::uint32_t* P, const std::uint32_t* v, int n) {
    for (int x = 0; x < n; ++x) P[x] = blend(P[x], v[x]);
  }
  void apply(std::uint32_t& P, int w) const { P = blend(P, prepare(w)); }
};

// One row of a coverage mask, or none where the mask has no row k.
inline const std::uint32_t* maskRow(const CoverageMask& m, int k) {
  return k < m.words ? m.rows + k * m.words : nullptr;
}

// Plain disc: coverage only falls outward along a row, so the first pixel
// that gets nothing ends the row, for all four quadrants at once. The row's
// values are prepared once, mirrored about the centre, so each frame row is
// blended as contiguous stretches.
template <class Blend>
struct DiscRule {
  // Distance 0 sits in the middle; distances reach MAX_SPLAT_DISTANCE.
  static constexpr int MID = MAX_SPLAT_DISTANCE;
  std::uint32_t* pixels;
  const Blend& blend;
  const CoverageMask& outer;
  std::uint32_t values[2 * MAX_SPLAT_DISTANCE + 1];

  DiscRule(SplatParams& p, const Blend& b) : pixels(p.pixels), blend(b), outer(p.outerMask) {}
  int beginRun(int k, int first, int last) {
    const std::uint32_t* row = outer.rows + k * outer.words;
    int j = first;
    for (; j <= last; ++j) {
      const int w = blend.weigh(coverageOf(outer, row[j]));
      if (w == 0) break;
      const std::uint32_t v = blend.prepare(w);
      values[MID + j] = v;
      values[MID - j] = v;
    }
    return j;
  }
  void drawSpan(int index, int from, int to) {
    blend.span(pixels + index + from, values + MID + from, to - from + 1);
  }
  // A small unclipped box: the same rows, with the distances and pixel
  // offsets fixed by R. All values are prepared, mirrored about the centre,
  // before the first pixel is written, from local copies of the blend and the
  // mask, so the pixel stores cannot make the compiler read them again; a
  // row drawn out to the box edge (the common case) is a fixed-width span.
  template <int R>
  void drawBox(const int* rows) const {
    constexpr int WIDTH = 2 * R + 1;
    const Blend b = blend;
    const CoverageMask m = outer;
    std::uint32_t v[R + 1][WIDTH];
    int end[R + 1];
    for (int k = 0; k <= R; ++k) {
      const std::uint32_t* row = m.rows + k * m.words;
      end[k] = R + 1;
      for (int j = 0; j <= R; ++j) {
        const int w = b.weigh(coverageOf(m, row[j]));
        if (w == 0) {
          end[k] = j;
          break;
        }
        v[k][R + j] = v[k][R - j] = b.prepare(w);
      }
    }
    for (int k = 0; k <= R; ++k) {
      drawBoxRow<R>(b, pixels + rows[-k], v[k] + R, end[k]);
      if (k != 0) drawBoxRow<R>(b, pixels + rows[k], v[k] + R, end[k]);
    }
  }
  // Distances below `end` of one frame row of a small box; v is centred.
  template <int R>
  static void drawBoxRow(const Blend& b, std::uint32_t* P, const std::uint32_t* v, int end) {
    if (end == R + 1) {
      b.span(P - R, v - R, 2 * R + 1);
    } else {
      b.span(P + 1 - end, v + 1 - end, 2 * end - 1);
    }
  }
};

// Ring: the outer disc minus the first inner disc plus the second. Inside
// the hole the coverage rises again further out, so a pixel that gets
// nothing (in the hole, or weighed down to 0 by a low opacity at the hole's
// soft edge) is only skipped; the far side of the ring is still to come.
template <class Blend>
struct RingRule {
  std::uint32_t* pixels;
  const Blend& blend;
  const CoverageMask& outer;
  const CoverageMask* hole;  // null when unused
  const CoverageMask* dot;
  const std::uint32_t* outerRow = nullptr;
  const std::uint32_t* holeRow = nullptr;
  const std::uint32_t* dotRow = nullptr;
  int weight = 0;

  RingRule(SplatParams& p, const Blend& b)
      : pixels(p.pixels),
        blend(b),
        outer(p.outerMask),
        hole(p.innerSize1 != 0 ? &p.innerMask1 : nullptr),
        dot(p.innerSize2 != 0 ? &p.innerMask2 : nullptr) {}
  void beginRow(int k) {
    outerRow = outer.rows + k * outer.words;
    holeRow = hole ? maskRow(*hole, k) : nullptr;
    dotRow = dot ? maskRow(*dot, k) : nullptr;
  }
  Step sample(int j) {
    const int o = coverageOf(outer, outerRow[j]);
    if (o == 0) return Step::EndRow;
    int w = o;
    if (holeRow && j < hole->words) w -= coverageOf(*hole, holeRow[j]);
    if (dotRow && j < dot->words) w += coverageOf(*dot, dotRow[j]);
    if (w <= 0) return Step::Skip;
    if (w > FULL) w = FULL;
    weight = blend.weigh(w);
    return weight == 0 ? Step::Skip : Step::Draw;
  }
  template <int Q>
  bool draw(int index) {
    blend.apply(pixels[index], weight);
    return true;
  }
};

// The blends that add or subtract, whose rows can be drawn four pixels at a
// time with nothing drawn where the value is 0.
template <class Blend>
concept QuadBlend = requires(std::uint32_t* P) {
  Blend::quad(P, P);
};

// A small unclipped plain disc of such a blend, whose frame rows have room
// for whole fours of pixels from its left column: each row's values are
// prepared first, mirrored about the centre, 0 past the row's end and with
// the top byte set where the pixel is drawn (quad), then every frame row is
// blended four pixels at a time. False leaves the splat to the quadrant walk.
template <int R, class Blend>
bool drawSmallDisc(const SplatParams& p, const Blend& b) {
  constexpr int WIDTH = (2 * R + 1 + 3) / 4 * 4;
  constexpr std::uint32_t DRAWN_MARK = 0xFF000000;
  const int left = p.centreX - R;
  if (left + WIDTH - 1 > p.maxColumn) return false;
  CoverageMask m;
  selectCoverageMask(m, p, p.sizeQuarter);
  if (m.words <= R) return false;  // a box larger than its mask
  std::uint32_t v[R + 1][WIDTH] = {};
  for (int k = 0; k <= R; ++k) {
    const std::uint32_t* row = m.rows + k * m.words;
    for (int j = 0; j <= R; ++j) {
      const int w = b.weigh(coverageOf(m, row[j]));
      if (w == 0) break;
      v[k][R + j] = v[k][R - j] = b.prepare(w) | DRAWN_MARK;
    }
  }
  for (int k = -R; k <= R; ++k) {
    std::uint32_t* P = p.pixels + p.rowStart[p.centreY + k] + left;
    const std::uint32_t* row = v[k < 0 ? -k : k];
    for (int x = 0; x < WIDTH; x += 4) Blend::quad(P + x, row + x);
  }
  return true;
}

template <class Blend>
bool drawSmallDisc(const SplatParams& p, const Blend& b) {
  switch (p.radius) {
    case 1: return drawSmallDisc<1>(p, b);
    case 2: return drawSmallDisc<2>(p, b);
    case 3: return drawSmallDisc<3>(p, b);
    case 4: return drawSmallDisc<4>(p, b);
    default: return false;
  }
}

template <Form F, class Blend>
void drawDisc(SplatParams& p) {
  const Blend blend(p);  // folds the opacity where the variant does
  if (F == Form::Inside && p.radius == 0) {
    // A one-pixel disc is drawn whole: the opacity is its only weight.
    blend.apply(p.pixels[p.rowStart[p.centreY] + p.centreX], blend.weigh(FULL));
    return;
  }
  if constexpr (F == Form::Inside && QuadBlend<Blend>) {
    if (p.innerSize1 == 0 && p.innerSize2 == 0 && drawSmallDisc(p, blend)) return;
  }
  selectCoverageMask(p.outerMask, p, p.sizeQuarter);
  Extents extents = splatExtents<F>(p);
  // The box and the mask agree for every size the set-up produces; the limit
  // only guards against a box larger than its mask.
  extents.limitTo(p.outerMask.words);
  if (p.innerSize1 != 0 || p.innerSize2 != 0) {
    if (p.innerSize1 != 0) selectCoverageMask(p.innerMask1, p, p.innerSize1);
    if (p.innerSize2 != 0) selectCoverageMask(p.innerMask2, p, p.innerSize2);
    RingRule<Blend> rule(p, blend);
    traverseQuadrants(p, extents, rule);
  } else {
    DiscRule<Blend> rule(p, blend);
    traverseQuadrants(p, extents, rule);
  }
}

}  // namespace

void DiscKernel0Clipped(SplatParams& p) { drawDisc<Form::Clipped, DiscOverBlend>(p); }
void DiscKernel0Inside(SplatParams& p) { drawDisc<Form::Inside, DiscOverBlend>(p); }
void DiscKernel2Clipped(SplatParams& p) { drawDisc<Form::Clipped, DiscAddBlend>(p); }
void DiscKernel2Inside(SplatParams& p) { drawDisc<Form::Inside, DiscAddBlend>(p); }
void DiscKernel3Clipped(SplatParams& p) { drawDisc<Form::Clipped, DiscSubtractBlend>(p); }
void DiscKernel3Inside(SplatParams& p) { drawDisc<Form::Inside, DiscSubtractBlend>(p); }
void DiscKernel4Clipped(SplatParams& p) { drawDisc<Form::Clipped, DiscMultiplyBlend>(p); }
void DiscKernel4Inside(SplatParams& p) { drawDisc<Form::Inside, DiscMultiplyBlend>(p); }

}  // namespace qv
