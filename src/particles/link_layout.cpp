#include "particles/link_layout.h"

#include <algorithm>
#include <limits>

namespace qv {

namespace {

// The row count of the grid kinds, with the two special depths.
std::int64_t rowCount(std::int32_t depth, std::int32_t width) {
  if (depth == LINK_ROWS_AS_WIDTH) return width;
  if (depth == LINK_ROWS_UNBOUNDED) return std::numeric_limits<std::int32_t>::max();
  return depth;
}

void forEachGridLink(const LinkGroup& group, std::int64_t particleCount, LinkVisitor visit, void* context) {
  const int kind = group.kind;
  const std::int64_t F = group.first;
  const std::int64_t L = group.last;
  const std::int64_t W = group.width;
  const std::int64_t top = particleCount - 1;
  auto tie = [&](std::int64_t a, std::int64_t b) {
    if (a >= 0 && b >= 0 && a <= top && b <= top) visit(context, a, b);
  };

  std::int64_t R = rowCount(group.depth, group.width);
  if (kind == LINK_TORUS && group.depth == LINK_ROWS_UNBOUNDED) {
    if (W == 0) return;  // rows of no width: no row count to derive
    R = (L - F + 1) / W;
  }
  if (kind == LINK_CUBE_LATTICE) R = W;

  const std::int64_t sStart = W * R - 2 * W;
  std::int64_t s = sStart;
  std::int64_t k = 1;
  std::int64_t r = 1;
  std::int64_t z = 1;
  const std::int64_t hi = std::min(L, top);
  for (std::int64_t p = F; p <= hi; ++p) {
    const bool rowEnd = k == W;
    auto closedRows = [&] { rowEnd ? tie(p, p - W + 1) : tie(p, p + 1); };
    auto openRows = [&] {
      if (!rowEnd) tie(p, p + 1);
    };
    auto vertical = [&] {
      if (r != R && p + W <= L) tie(p, p + W);
    };

    switch (kind) {
      case LINK_RING_ROWS: closedRows(); break;
      case LINK_TUBE:
        closedRows();
        vertical();
        break;
      case LINK_WRAPPED_LAYERS: {
        openRows();
        vertical();
        std::int64_t q = p + W * R;
        if (q > L) q -= L - F + 1;
        tie(p, q);
        break;
      }
      case LINK_TORUS:
        closedRows();
        if (r == R) {
          tie(p, p - W * (R - 1));
        } else {
          vertical();
        }
        break;
      case LINK_SHEET:
        openRows();
        vertical();
        break;
      case LINK_CUBE_LATTICE:
        openRows();
        vertical();
        if (z != W && p + W * W <= L) tie(p, p + W * W);
        break;
      case LINK_OPEN_LAYERS:
        openRows();
        vertical();
        if (p + W * R <= L) tie(p, p + W * R);
        break;
      case LINK_TWISTED_BAND:
        if (rowEnd) {
          if (p + 1 + s <= L) tie(p, p + 1 + s);
          s -= 2 * W;
        } else {
          tie(p, p + 1);
        }
        vertical();
        break;
      default: return;
    }

    if (rowEnd) {
      k = 1;
      if (r == R) {
        r = 1;
        if (kind == LINK_CUBE_LATTICE) z = z == W ? 1 : z + 1;
        if (kind == LINK_TWISTED_BAND) s = sStart;
      } else {
        ++r;
      }
    } else {
      ++k;
    }
  }
}

}  // namespace

void forEachLink(const LinkGroup& group, std::int64_t particleCount, LinkVisitor visit, void* context) {
  const std::int64_t F = group.first;
  const std::int64_t L = group.last;
  const std::int64_t W = group.width;
  const std::int64_t D = group.depth;
  // Every link of a loop has the loop index at one end, so iterations past
  // the array could only make skipped links: stop the loops there.
  const std::int64_t top = particleCount - 1;
  auto tie = [&](std::int64_t a, std::int64_t b) {
    if (a >= 0 && b >= 0 && a <= top && b <= top) visit(context, a, b);
  };

  switch (group.kind) {
    case LINK_ENDS: tie(F, L); return;
    case LINK_ALL_PAIRS: {
      const std::int64_t hi = std::min(L, top);
      for (std::int64_t i = std::max<std::int64_t>(F, 0); i <= hi; ++i) {
        for (std::int64_t j = i + 1; j <= hi; ++j) tie(i, j);
      }
      return;
    }
    case LINK_TWO_RANGES: {
      const std::int64_t hi = std::min(L, top);
      const std::int64_t hj = std::min(D, top);
      for (std::int64_t i = std::max<std::int64_t>(F, 0); i <= hi; ++i) {
        for (std::int64_t j = std::max<std::int64_t>(W, 0); j <= hj; ++j) tie(i, j);
      }
      return;
    }
    case LINK_CHAIN:
    case LINK_RING: {
      const std::int64_t hi = std::min(L - 1, top);
      for (std::int64_t i = F; i <= hi; ++i) tie(i, i + 1);
      if (group.kind == LINK_RING) tie(L, F);
      return;
    }
    case LINK_STRIDED_CHAIN:
    case LINK_STRIDED_RING: {
      // A stride that does not move forward would never end.
      if (W <= 0) return;
      if (F > L - W) return;  // no link, and no last index to close the ring with
      for (std::int64_t i = F; i <= L - W && i <= top; i += W) tie(i, i + W);
      if (group.kind == LINK_STRIDED_RING) {
        const std::int64_t iLast = F + (L - W - F) / W * W;
        tie(iLast, 0);
      }
      return;
    }
    case LINK_SKIP: {
      const std::int64_t hi = std::min(L - W, top);
      for (std::int64_t i = F; i <= hi; ++i) tie(i, i + W);
      return;
    }
    case LINK_WRAPPED_SKIP:
    case LINK_SKIP_AND_RING: {
      const std::int64_t hi = std::min(L, top);
      for (std::int64_t i = F; i <= hi; ++i) {
        std::int64_t j = i + W;
        if (j > L) j -= L;
        tie(i, j);
        if (group.kind == LINK_SKIP_AND_RING) {
          if (i == L) {
            tie(L, 0);
          } else {
            tie(i, i + 1);
          }
        }
      }
      return;
    }
    case LINK_RING_ROWS:
    case LINK_TUBE:
    case LINK_WRAPPED_LAYERS:
    case LINK_TORUS:
    case LINK_SHEET:
    case LINK_CUBE_LATTICE:
    case LINK_OPEN_LAYERS:
    case LINK_TWISTED_BAND: forEachGridLink(group, particleCount, visit, context); return;
    default: return;  // LINK_NONE and unknown kinds link nothing
  }
}

}  // namespace qv
