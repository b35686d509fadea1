#include "composition/pace_weights.h"

#include <algorithm>

namespace qv {

namespace {

constexpr double SMALLEST_PART = 0.25;  // of an equal part
constexpr double FOLLOW = 0.5;          // of the newest pace; the rest is the old cut

}  // namespace

void PaceWeights::learn(std::span<const double> amounts, std::span<const double> seconds) {
  const std::size_t parts = seconds.size();
  if (parts < 2 || amounts.size() != parts) return;
  std::vector<double>& w = weight_;
  std::vector<double>& pace = pace_;
  pace.resize(parts);
  double total = 0.0;
  for (std::size_t p = 0; p < parts; ++p) {
    if (seconds[p] <= 0.0 || amounts[p] <= 0.0) return;  // nothing to learn from
    pace[p] = amounts[p] / seconds[p];
    total += pace[p];
  }
  if (w.size() != parts) w.assign(parts, 1.0 / static_cast<double>(parts));
  const double smallest = SMALLEST_PART / static_cast<double>(parts);
  double sum = 0.0;
  for (std::size_t p = 0; p < parts; ++p) {
    w[p] = std::max((1 - FOLLOW) * w[p] + FOLLOW * pace[p] / total, smallest);
    sum += w[p];
  }
  for (double& part : w) part /= sum;
}

}  // namespace qv
