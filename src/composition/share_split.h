#pragma once
// Where the draw order is cut into the drawing threads' shares: by each
// thread's pace at setting splats up over the last frames. The particle
// update is cut the same way, so that each thread moves the particles it
// draws. No cut changes a pixel: each band draws every share's splats in
// draw order.

#include <cstdint>
#include <span>
#include <vector>

#include "composition/pace_weights.h"

namespace qv {

class ShareSplit {
 public:
  // First entries of `shares` shares of `count` entries: firsts[s] for
  // s = 0 ... shares, firsts[shares] = count; equal shares until a pace is
  // known for that many threads.
  void cut(int shares, std::int32_t count, std::vector<std::int32_t>& firsts) const;
  // After a frame cut by `firsts`: how long each share took to set up.
  void learn(std::span<const std::int32_t> firsts, std::span<const double> seconds);

 private:
  PaceWeights pace_;
  std::vector<double> entries_;  // of each share learnt from
};

}  // namespace qv
