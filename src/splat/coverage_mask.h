#pragma once
// Choice of a disc coverage mask for a radius in quarter pixels. The table for
// s keeps four neighbouring disc sizes in the byte lanes of one s x s block;
// a slot remembers which block and which lane a splat reads.

#include <cstdint>

#include "splat/splat_params.h"

namespace qv {

// The largest radius in quarter pixels the coverage tables hold (s = 255,
// lane 3). Larger radii read that mask rather than past the last table.
inline constexpr int MAX_COVERAGE_QUARTER = 1020;
// No mask row is longer than this many entries, so no distance from the
// centre a mask is read at exceeds it.
inline constexpr int MAX_SPLAT_DISTANCE = 255;
// Entries in the table of coverage-table pointers.
inline constexpr int COVERAGE_TABLE_COUNT = 256;

// Points `slot` at the mask of radius v (quarter pixels) in p.discCoverage.
// Very near particles can ask for more than the tables hold; they get the
// largest disc, which still fills the largest splat box (255 pixels).
inline void selectCoverageMask(CoverageMask& slot, const SplatParams& p, int v) {
  if (v > MAX_COVERAGE_QUARTER) v = MAX_COVERAGE_QUARTER;
  if (v < 0) v = 0;
  slot.lane = (v - 1) & 3;
  slot.shift = 8 * slot.lane;
  slot.laneMask = 0xFFu << slot.shift;
  slot.words = (v + 3) >> 2;
  slot.rows = p.discCoverage[slot.words];
}

// The coverage byte of one packed table entry.
inline int coverageOf(const CoverageMask& slot, std::uint32_t entry) {
  return static_cast<int>((entry & slot.laneMask) >> slot.shift);
}

// Coverage at row distance k and column distance j (both below slot.words).
inline int coverageAt(const CoverageMask& slot, int k, int j) {
  return coverageOf(slot, slot.rows[k * slot.words + j]);
}

}  // namespace qv
