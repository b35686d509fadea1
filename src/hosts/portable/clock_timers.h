#pragma once
// Program timers kept against a clock the platform reads rather than by a
// thread of their own: the headless host's virtual clock, the page's. A
// running timer whose interval has passed by the time asked has fired, and
// stays fired, as the host never clears the flag.

#include <cstdint>
#include <map>

namespace qv {

class ClockTimers {
 public:
  // `now` is the platform's clockTicks(); intervals are in milliseconds.
  // Starting again restarts the interval. Returns the timer's id.
  int start(int n, std::uint32_t ms, std::uint64_t now);
  // 1 when a running timer was stopped, 0 otherwise.
  int stop(int n, std::uint64_t now);
  bool fired(int n, std::uint64_t now);

 private:
  struct Timer {
    bool running = false;
    bool fired = false;
    std::uint64_t startTicks = 0;
    std::uint64_t intervalTicks = 0;
  };
  static void latch(Timer& t, std::uint64_t now);

  std::map<int, Timer> timers_;
};

}  // namespace qv
