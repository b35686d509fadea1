#pragma once
// Where a frame's rows are cut into the bands of its drawing threads. The
// cloud is seldom spread evenly over the screen (the fountains crowd the
// upper half), so bands of equal height leave one thread drawing while the
// other waits. The cut follows the drawing work the last frame drawn
// together met, row by row; with nothing known it falls back to equal
// heights. And as the cores are not always equally fast, each thread's band
// takes the part of the work that thread's pace allows (pace_weights.h).
// No cut changes a pixel: every band draws its splats in draw order.

#include <cstdint>
#include <span>
#include <vector>

#include "composition/pace_weights.h"

namespace qv {

// One thread's record of the work its splats bring to each row, kept as
// differences so that a splat costs two additions whatever its height.
class RowWork {
 public:
  void begin(int rows) { delta_.assign(static_cast<std::size_t>(rows) + 1, 0); }
  // A splat over rows top ... bottom (inside the frame), `width` pixels wide.
  void add(int top, int bottom, int width) {
    const std::int64_t perRow = width + SPLAT_ROW_COST;
    delta_[static_cast<std::size_t>(top)] += perRow;
    delta_[static_cast<std::size_t>(bottom) + 1] -= perRow;
  }
  const std::vector<std::int64_t>& deltas() const { return delta_; }

  // What walking a splat's row costs besides its pixels, in pixels.
  static constexpr std::int64_t SPLAT_ROW_COST = 8;

 private:
  std::vector<std::int64_t> delta_;
};

class BandSplit {
 public:
  // First rows of `bands` bands over `rows` rows (bands <= rows), each band
  // at least one row: firstRows[b] for b = 0 ... bands, firstRows[bands] = rows.
  void cut(int bands, int rows, std::vector<std::int32_t>& firstRows) const;
  // Takes the work of a frame of `rows` rows from every thread's record,
  // and each thread's pace from how long it drew its band of that frame
  // (cut by `firstRows`).
  void learn(int rows, std::span<const RowWork* const> records, std::span<const std::int32_t> firstRows,
             std::span<const double> seconds);

 private:
  // before_[r]: the work of rows 0 ... r - 1; rows + 1 entries.
  std::vector<std::int64_t> before_;
  PaceWeights pace_;
  std::vector<double> work_;  // of each band learnt from
};

}  // namespace qv
