#include "composition/share_split.h"

#include <algorithm>

namespace qv {

void ShareSplit::cut(int shares, std::int32_t count, std::vector<std::int32_t>& firsts) const {
  firsts.resize(static_cast<std::size_t>(shares) + 1);
  const bool known = pace_.knows(shares);
  double before = 0.0;
  firsts[0] = 0;
  for (int s = 1; s < shares; ++s) {
    std::int32_t first = static_cast<std::int32_t>(std::int64_t{count} * s / shares);
    if (known) {
      before += pace_.weight(s - 1);
      first = static_cast<std::int32_t>(before * count);
    }
    firsts[static_cast<std::size_t>(s)] = std::clamp(first, firsts[static_cast<std::size_t>(s) - 1], count);
  }
  firsts[static_cast<std::size_t>(shares)] = count;
}

void ShareSplit::learn(std::span<const std::int32_t> firsts, std::span<const double> seconds) {
  if (firsts.size() != seconds.size() + 1) return;
  entries_.resize(seconds.size());
  for (std::size_t s = 0; s < seconds.size(); ++s) entries_[s] = firsts[s + 1] - firsts[s];
  pace_.learn(entries_, seconds);
}

}  // namespace qv
