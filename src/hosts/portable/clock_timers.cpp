#include "hosts/portable/clock_timers.h"

#include "ground/clock.h"

namespace qv {

namespace {

constexpr std::uint64_t TICKS_PER_MS = TICKS_PER_SECOND / 1000;

}  // namespace

void ClockTimers::latch(Timer& t, std::uint64_t now) {
  if (t.running && now - t.startTicks >= t.intervalTicks) t.fired = true;
}

int ClockTimers::start(int n, std::uint32_t ms, std::uint64_t now) {
  Timer& t = timers_[n];
  latch(t, now);  // an interval that has passed is not undone by a restart
  t.running = true;
  t.startTicks = now;
  t.intervalTicks = static_cast<std::uint64_t>(ms) * TICKS_PER_MS;
  return 1000 + n;
}

int ClockTimers::stop(int n, std::uint64_t now) {
  auto it = timers_.find(n);
  if (it == timers_.end() || !it->second.running) return 0;
  latch(it->second, now);
  it->second.running = false;
  return 1;
}

bool ClockTimers::fired(int n, std::uint64_t now) {
  auto it = timers_.find(n);
  if (it == timers_.end()) return false;
  latch(it->second, now);
  return it->second.fired;
}

}  // namespace qv
