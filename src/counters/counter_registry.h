#pragma once
// Holds the counters that advance with the animation and ticks them once per
// frame: list 0, then list 1, then list 2, each in order of registration.
// The registry does not own the counters.

#include <array>

#include "counters/counters.h"

namespace qv {

class Platform;

inline constexpr int COUNTER_LIST_COUNT = 3;
inline constexpr int COUNTER_LIST_CAPACITY = 512;

class CounterRegistry {
 public:
  CounterRegistry(Platform& platform, CounterContext& context) : platform_(platform), context_(context) {}

  // Registering into a full list (or a list number outside 0 ... 2) is a
  // fatal error; nothing is written.
  void registerCounter(AbstCNT* counter, int list);
  void tickCounters();

  int count(int list) const { return counts_[list]; }
  int full(int list) const { return fullFlags_[list]; }

 private:
  Platform& platform_;
  CounterContext& context_;
  std::array<std::array<AbstCNT*, COUNTER_LIST_CAPACITY>, COUNTER_LIST_COUNT> lists_{};
  std::array<int, COUNTER_LIST_COUNT> counts_{};
  std::array<int, COUNTER_LIST_COUNT> fullFlags_{};
};

}  // namespace qv
