#pragma once
// Where a frame's drawing went, so that the next clear refills only that:
// for every drawing row, which blocks of columns a splat or an overlay
// touched. A cloud in the middle of a black screen covers a fraction of the
// frame, and the refill of a fraction costs a fraction of the whole fill.
//
// A row is cut into at most 64 blocks of one width (a power of two, at least
// 16 pixels), one bit each; a touched block is refilled whole. Until the
// first clear after a reset, and after markAll, everything counts as drawn.

#include <bit>
#include <cstdint>
#include <vector>

namespace qv {

class DrawnArea {
 public:
  // For a drawing rectangle of `rows` x `columns`; everything counts as drawn.
  void reset(int rows, int columns);

  // Drawing rows top ... bottom, columns left ... right, all inclusive and
  // inside the rectangle.
  void mark(int top, int bottom, int left, int right) {
    const int shift = blockShift_;
    const std::uint64_t bits =
        (~std::uint64_t{0} >> (63 - (right >> shift))) & (~std::uint64_t{0} << (left >> shift));
    std::uint64_t* row = rows_.data() + top;
    std::uint64_t* const last = rows_.data() + bottom;
    do {
      *row |= bits;
    } while (++row <= last);
  }
  // Whatever drew where no mark says: the next clear refills everything.
  void markAll() { all_ = true; }
  bool all() const { return all_; }

  // Calls fill(row, firstColumn, count) for every stretch of touched blocks,
  // row by row, and forgets them: the area is then empty.
  template <class Fill>
  void takeDrawn(Fill&& fill) {
    takeDrawnRows(0, static_cast<int>(rows_.size()) - 1, fill);
  }
  // The same for rows top ... bottom alone.
  template <class Fill>
  void takeDrawnRows(int top, int bottom, Fill&& fill) {
    for (int r = top; r <= bottom; ++r) {
      std::uint64_t bits = rows_[static_cast<std::size_t>(r)];
      rows_[static_cast<std::size_t>(r)] = 0;
      while (bits != 0) {
        const int first = std::countr_zero(bits);
        const int count = std::countr_one(bits >> first);
        const int from = first << blockShift_;
        const int to = (first + count) << blockShift_;
        fill(r, from, (to < columns_ ? to : columns_) - from);
        bits = first + count >= 64 ? 0 : bits & (~std::uint64_t{0} << (first + count));
      }
    }
  }
  // Forgets every mark and the markAll: the area is empty.
  void forget();

  int blockWidth() const { return 1 << blockShift_; }

 private:
  std::vector<std::uint64_t> rows_;
  int columns_ = 0;
  int blockShift_ = 4;
  bool all_ = true;
};

}  // namespace qv
