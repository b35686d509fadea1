#pragma once
// Where the draw order is cut into the drawing threads' shares. Equal shares
// do not take equal time: the cores are not always equally fast (a virtual
// machine's core may be shared with another machine's for a while), and the
// faster thread would wait at the barrier for the slower. So the cut follows
// each thread's pace over the last frames. The particle update is cut the
// same way, so that each thread moves the particles it draws. No cut
// changes a pixel: each band draws every share's splats in draw order.

#include <cstdint>
#include <span>
#include <vector>

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
  std::vector<double> weight_;  // each thread's part of the entries; they sum to 1
  std::vector<double> pace_;    // entries a second, per thread, of the frame learnt from
};

}  // namespace qv
