#pragma once
// The one quadrant walk every sprite and disc kernel shares. A splat is
// symmetric about its centre, so the walk visits one quadrant of distances
// (k rows, j columns) and lets a class rule decide once per (k, j) what is
// sampled and whether the row goes on; the rule then blends up to four frame
// pixels, one per quadrant:
//   q0 (centreX - j, centreY - k)   q1 (centreX + j, centreY - k)
//   q2 (centreX - j, centreY + k)   q3 (centreX + j, centreY + k)
// The centre row and column are drawn once (q2, q3 only for k >= 1; q1, q3
// only for j >= 1).
//
// The inside and clipped forms differ only in their extents: the inside form
// walks 0 ... radius every way, the clipped form what clipSplat left. Bounds
// are therefore decided once per splat and never per pixel.
//
// A rule provides either the pixel interface:
//   void beginRow(int k);
//   Step sample(int j);                  // decided once for the four pixels
//   template <int Q> bool draw(int index);  // blend pixels[index]; false
//                                           // stops quadrant Q for the row
// or, when a row ends at one distance for all four quadrants and nothing is
// skipped inside it, the run interface:
//   int beginRun(int k, int first, int last);  // prepares distances first
//                                              // ... last of row k; returns
//                                              // the distance that ends it
//   void drawSpan(int index, int from, int to);  // blends pixels[index + x]
//                                                // for x = from ... to with
//                                                // the value of distance |x|
// The run interface lets a row be drawn as one or two stretches of
// contiguous pixels per frame row instead of four pixels per distance.
//
// Most splats of a scene are a few pixels across, where finding each row's
// end and stretches costs more than the pixels. A run rule may therefore
// also draw a whole unclipped box of a small radius R in one go:
//   template <int R> void drawBox(const int* rows);  // rows[k], k = -R ... R:
//                                                    // index of (centreX,
//                                                    // centreY + k)
// with the row rule of its runs. The walk picks it once per splat.

#include <algorithm>
#include <concepts>

#include "splat/clip_splat.h"
#include "splat/splat_params.h"

namespace qv {

enum class Step { Draw, Skip, EndRow };
enum class Form { Inside, Clipped };

// Last distance drawn in each direction (-1: none) and the first distances.
struct Extents {
  int firstRow = 0;
  int firstColumn = 0;
  int upLimit = -1;
  int downLimit = -1;
  int leftLimit = -1;
  int rightLimit = -1;

  // Keeps the walk within a source that has only `count` distances.
  void limitTo(int count) {
    upLimit = std::min(upLimit, count - 1);
    downLimit = std::min(downLimit, count - 1);
    leftLimit = std::min(leftLimit, count - 1);
    rightLimit = std::min(rightLimit, count - 1);
  }
};

// For Form::Clipped this runs clipSplat first, as every clipped kernel must.
template <Form F>
inline Extents splatExtents(SplatParams& p) {
  if constexpr (F == Form::Inside) {
    return Extents{0, 0, p.radius, p.radius, p.radius, p.radius};
  } else {
    clipSplat(p);
    return Extents{p.firstRow,
                   p.firstColumn,
                   p.drawUp ? p.upExtent : -1,
                   p.drawDown ? p.downExtent : -1,
                   p.drawLeft ? p.leftExtent : -1,
                   p.drawRight ? p.rightExtent : -1};
  }
}

template <class Rule>
concept RunRule = requires(Rule& rule, int n) {
  { rule.beginRun(n, n, n) } -> std::same_as<int>;
  rule.drawSpan(n, n, n);
};

template <class Rule>
concept BoxRule = RunRule<Rule> && requires(Rule& rule, const int* rows) {
  rule.template drawBox<1>(rows);
};

// The largest radius drawn as a whole box by a box rule.
inline constexpr int SMALL_BOX_RADIUS = 4;

namespace traversal_detail {
inline constexpr unsigned Q0 = 1, Q1 = 2, Q2 = 4, Q3 = 8;

// One row of a pixel rule: distance by distance, each quadrant until the
// rule stops it, the row until the rule ends it or no quadrant is left.
template <class Rule>
inline void drawPixels(const Extents& e, Rule& rule, int k, unsigned active, int upper, int lower) {
  rule.beginRow(k);
  for (int j = e.firstColumn;; ++j) {
    if (j > e.leftLimit) active &= ~(Q0 | Q2);
    if (j > e.rightLimit) active &= ~(Q1 | Q3);
    if (active == 0) break;
    const Step step = rule.sample(j);
    if (step == Step::EndRow) break;
    if (step == Step::Skip) continue;
    if ((active & Q0) && !rule.template draw<0>(upper - j)) active &= ~Q0;
    if ((active & Q2) && !rule.template draw<2>(lower - j)) active &= ~Q2;
    if (j >= 1) {
      if ((active & Q1) && !rule.template draw<1>(upper + j)) active &= ~Q1;
      if ((active & Q3) && !rule.template draw<3>(lower + j)) active &= ~Q3;
    }
  }
}

// One row of a run rule: the row's end is found once, then each frame row
// gets its left stretch (q0 or q2, distances first ... leftmost) and its
// right stretch (q1 or q3, from distance 1 on); with both sides drawn from
// the centre they meet and are drawn as one.
template <class Rule>
inline void drawRuns(const Extents& e, Rule& rule, int k, unsigned active, int upper, int lower) {
  const int first = e.firstColumn;
  const int end = rule.beginRun(k, first, std::max(e.leftLimit, e.rightLimit));
  const int leftTo = std::min(end - 1, e.leftLimit);
  const int rightFrom = std::max(first, 1);
  const int rightTo = std::min(end - 1, e.rightLimit);
  const bool left = leftTo >= first;
  const bool right = rightTo >= rightFrom;
  auto drawRow = [&](int base) {
    if (left && right && first == 0) {
      rule.drawSpan(base, -leftTo, rightTo);
      return;
    }
    if (left) rule.drawSpan(base, -leftTo, -first);
    if (right) rule.drawSpan(base, rightFrom, rightTo);
  };
  if (active & Q0) drawRow(upper);
  if (active & Q2) drawRow(lower);
}

// A whole box of radius R: the row indexes are known up front.
template <int R, class Rule>
inline void drawBox(const SplatParams& p, Rule& rule) {
  int rows[2 * R + 1];
  for (int k = -R; k <= R; ++k) rows[R + k] = p.rowStart[p.centreY + k] + p.centreX;
  rule.template drawBox<R>(rows + R);
}

// Draws the box of a small radius in one go when the rule can and the walk
// is the whole box; false leaves the splat to the row walk.
template <class Rule>
inline bool drawSmallBox(const SplatParams& p, const Extents& e, Rule& rule) {
  const int r = e.upLimit;
  if (e.firstRow != 0 || e.firstColumn != 0 || e.downLimit != r || e.leftLimit != r || e.rightLimit != r) {
    return false;
  }
  static_assert(SMALL_BOX_RADIUS == 4, "one case per small radius");
  switch (r) {
    case 1: drawBox<1>(p, rule); return true;
    case 2: drawBox<2>(p, rule); return true;
    case 3: drawBox<3>(p, rule); return true;
    case 4: drawBox<4>(p, rule); return true;
    default: return false;
  }
}
}  // namespace traversal_detail

template <class Rule>
inline void traverseQuadrants(const SplatParams& p, const Extents& e, Rule& rule) {
  using namespace traversal_detail;
  if constexpr (BoxRule<Rule>) {
    if (drawSmallBox(p, e, rule)) return;
  }
  const int lastRow = std::max(e.upLimit, e.downLimit);
  const int cx = p.centreX;
  const int cy = p.centreY;
  for (int k = e.firstRow; k <= lastRow; ++k) {
    unsigned active = 0;
    int upper = 0;
    int lower = 0;
    if (k <= e.upLimit) {
      active |= Q0 | Q1;
      upper = p.rowStart[cy - k] + cx;
    }
    if (k >= 1 && k <= e.downLimit) {
      active |= Q2 | Q3;
      lower = p.rowStart[cy + k] + cx;
    }
    if (active == 0) continue;
    if constexpr (RunRule<Rule>) {
      drawRuns(e, rule, k, active, upper, lower);
    } else {
      drawPixels(e, rule, k, active, upper, lower);
    }
  }
}

}  // namespace qv
