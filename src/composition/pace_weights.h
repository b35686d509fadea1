#pragma once
// Each drawing thread's part of some work, following the thread's pace over
// the last frames. Equal parts do not take equal time: the cores are not
// always equally fast (a virtual machine's core may be shared with another
// machine's for a while), and the faster thread would wait at the barrier
// for the slower.

#include <span>
#include <vector>

namespace qv {

class PaceWeights {
 public:
  // Whether a pace is known for `parts` threads.
  bool knows(int parts) const { return weight_.size() == static_cast<std::size_t>(parts); }
  // Thread p's part of the work, when known; the parts sum to 1.
  double weight(int part) const { return weight_[static_cast<std::size_t>(part)]; }
  // After a frame: how much work each thread had, and how long it took.
  // The parts move half-way toward those that would have taken equal
  // times, and none falls much below a quarter of an equal part, so a
  // thread that was slow once still gets work and is measured again.
  void learn(std::span<const double> amounts, std::span<const double> seconds);

 private:
  std::vector<double> weight_;
  std::vector<double> pace_;  // work a second, per thread, of the frame learnt from
};

}  // namespace qv
