#include "composition/band_split.h"

#include <algorithm>

namespace qv {

void BandSplit::cut(int bands, int rows, std::vector<std::int32_t>& firstRows) const {
  firstRows.resize(static_cast<std::size_t>(bands) + 1);
  const bool known = before_.size() == static_cast<std::size_t>(rows) + 1 && before_.back() > 0;
  const bool paced = pace_.knows(bands);
  double part = 0.0;  // of the work, in the bands before b
  firstRows[0] = 0;
  for (int b = 1; b < bands; ++b) {
    std::int32_t row = rows * b / bands;
    part += paced ? pace_.weight(b - 1) : 1.0 / bands;
    if (known) {
      const auto share = static_cast<std::int64_t>(part * static_cast<double>(before_.back()));
      row = static_cast<std::int32_t>(std::lower_bound(before_.begin(), before_.end(), share) - before_.begin());
    }
    // Every band keeps a row, and leaves one for each band after it.
    const std::int32_t previous = firstRows[static_cast<std::size_t>(b) - 1];
    firstRows[static_cast<std::size_t>(b)] = std::clamp(row, previous + 1, rows - (bands - b));
  }
  firstRows[static_cast<std::size_t>(bands)] = rows;
}

void BandSplit::learn(int rows, std::span<const RowWork* const> records, std::span<const std::int32_t> firstRows,
                      std::span<const double> seconds) {
  before_.assign(static_cast<std::size_t>(rows) + 1, 0);
  std::int64_t rowWork = 0;
  std::int64_t total = 0;
  for (std::size_t r = 0; r < static_cast<std::size_t>(rows); ++r) {
    before_[r] = total;
    for (const RowWork* record : records) {
      if (record->deltas().size() == before_.size()) rowWork += record->deltas()[r];
    }
    total += rowWork;
  }
  before_.back() = total;
  const std::size_t bands = seconds.size();
  if (firstRows.size() != bands + 1 || firstRows.back() != rows) return;
  work_.resize(bands);
  for (std::size_t b = 0; b < bands; ++b) {
    work_[b] = static_cast<double>(before_[static_cast<std::size_t>(firstRows[b + 1])] -
                                   before_[static_cast<std::size_t>(firstRows[b])]);
  }
  pace_.learn(work_, seconds);
}

}  // namespace qv
