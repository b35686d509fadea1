#pragma once
// The program's one random source and the random functions built on it.
//
// The generator is the classic C-runtime linear congruential generator
// (state = state * 214013 + 2531011, draw = (state >> 16) & 0x7FFF), written
// out here so that a seed gives the same sequence on every platform. Every
// random draw of the animation comes from one RandomSource, so the order of
// draws inside each algorithm is part of its behaviour.

#include <cstdint>

namespace qv {

inline constexpr int RANDOM_MAX = 32767;
// 1 / 32767: where the unit random number is written as a product.
inline constexpr double UNIT_RANDOM_SCALE = 3.051850947599719e-05;

class RandomSource {
 public:
  explicit RandomSource(std::uint32_t seed = 1) : state_(seed) {}

  void seed(std::uint32_t seed) { state_ = seed; }
  std::uint32_t state() const { return state_; }

  // One draw, 0 ... 32767 inclusive.
  int draw() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
  }

  // r / 32767, in [0, 1].
  double randUnit();
  // 0 for n = 0, else trunc(r * n / 32767 + 0.5), in 0 ... n.
  int randUpTo(int n);
  // centre + trunc(r * 2 * spread / 32767 - spread + 0.5); centre for spread 0.
  int randIntAround(int centre, int spread);
  // centre + r * 2 * spread / 32767 - spread; centre (no draw) for spread 0.
  double randAround(double centre, double spread);

 private:
  std::uint32_t state_;
};

}  // namespace qv
