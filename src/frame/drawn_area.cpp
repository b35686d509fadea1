#include "frame/drawn_area.h"

#include <algorithm>

namespace qv {

namespace {
constexpr int BLOCKS_PER_ROW = 64;
constexpr int MIN_BLOCK_SHIFT = 4;  // 16 pixels, one 64-byte line of a row
}  // namespace

void DrawnArea::reset(int rows, int columns) {
  rows_.assign(static_cast<std::size_t>(std::max(rows, 0)), 0);
  columns_ = std::max(columns, 0);
  blockShift_ = MIN_BLOCK_SHIFT;
  while ((BLOCKS_PER_ROW << blockShift_) < columns_) ++blockShift_;
  all_ = true;
}

void DrawnArea::forget() {
  std::fill(rows_.begin(), rows_.end(), 0);
  all_ = false;
}

}  // namespace qv
