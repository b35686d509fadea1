#include "splat/coverage_mask.h"

namespace qv {

void selectCoverageMask(CoverageMask& slot, const SplatParams& p, int v) {
  // Very near particles can ask for more than the tables hold; they get the
  // largest disc, which still fills the largest splat box (255 pixels).
  if (v > MAX_COVERAGE_QUARTER) v = MAX_COVERAGE_QUARTER;
  if (v < 0) v = 0;
  slot.lane = (v - 1) & 3;
  slot.shift = 8 * slot.lane;
  slot.laneMask = 0xFFu << slot.shift;
  slot.words = (v + 3) >> 2;
  slot.rows = p.discCoverage[slot.words];
}

}  // namespace qv
