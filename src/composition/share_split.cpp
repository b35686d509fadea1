#include "composition/share_split.h"

#include <algorithm>

namespace qv {

namespace {

// A thread's part stays near or above this fraction of an equal part, so a
// thread that was slow once still gets work and is measured again.
constexpr double SMALLEST_PART = 0.25;
// How much of the newest pace the next cut follows; the rest is the old cut.
constexpr double FOLLOW = 0.5;

}  // namespace

void ShareSplit::cut(int shares, std::int32_t count, std::vector<std::int32_t>& firsts) const {
  firsts.resize(static_cast<std::size_t>(shares) + 1);
  const bool known = weight_.size() == static_cast<std::size_t>(shares);
  double before = 0.0;
  firsts[0] = 0;
  for (int s = 1; s < shares; ++s) {
    std::int32_t first = static_cast<std::int32_t>(std::int64_t{count} * s / shares);
    if (known) {
      before += weight_[static_cast<std::size_t>(s) - 1];
      first = static_cast<std::int32_t>(before * count);
    }
    firsts[static_cast<std::size_t>(s)] = std::clamp(first, firsts[static_cast<std::size_t>(s) - 1], count);
  }
  firsts[static_cast<std::size_t>(shares)] = count;
}

void ShareSplit::learn(std::span<const std::int32_t> firsts, std::span<const double> seconds) {
  const std::size_t shares = seconds.size();
  if (shares < 2 || firsts.size() != shares + 1) return;
  std::vector<double>& w = weight_;
  if (w.size() != shares) w.assign(shares, 1.0 / static_cast<double>(shares));
  std::vector<double>& pace = pace_;
  pace.resize(shares);
  double total = 0.0;
  for (std::size_t s = 0; s < shares; ++s) {
    const double entries = firsts[s + 1] - firsts[s];
    if (seconds[s] <= 0.0 || entries <= 0.0) return;  // nothing to learn from
    pace[s] = entries / seconds[s];
    total += pace[s];
  }
  const double smallest = SMALLEST_PART / static_cast<double>(shares);
  double sum = 0.0;
  for (std::size_t s = 0; s < shares; ++s) {
    w[s] = std::max((1 - FOLLOW) * w[s] + FOLLOW * pace[s] / total, smallest);
    sum += w[s];
  }
  for (double& part : w) part /= sum;
}

}  // namespace qv
