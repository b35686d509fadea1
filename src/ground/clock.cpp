#include "ground/clock.h"

#include "ground/platform.h"
#include "ground/runtime_error.h"

namespace qv {

FrameClock::FrameClock(Platform& platform) : platform_(platform) {}

std::uint64_t FrameClock::now() { return platform_.clockTicks(); }

ClockSlot& FrameClock::slotAt(int slot) {
  if (slot < 0 || slot >= CLOCK_SLOT_COUNT) reportRuntimeError(platform_, errors::INDEX_OUT_OF_RANGE);
  return slots_[static_cast<std::size_t>(slot)];
}

ClockSlot FrameClock::slotValue(int slot) const {
  if (slot < 0 || slot >= CLOCK_SLOT_COUNT) return 0;
  return slots_[static_cast<std::size_t>(slot)];
}

void FrameClock::markClock(int slot) { slotAt(slot) = static_cast<ClockSlot>(now()); }

void FrameClock::lapClock(int slot) {
  ClockSlot& mark = slotAt(slot);
  const auto current = static_cast<ClockSlot>(now());
  // A clock that stood still or wrapped round gives no usable lap.
  mark = current > mark ? current - mark : 0;
}

void FrameClock::initFrameRateMeter(int window) {
  // A window outside the ring would let the write index run past its end.
  if (window < 1 || window > MAX_SAMPLE_WINDOW) reportRuntimeError(platform_, errors::INDEX_OUT_OF_RANGE);
  meter_.samples.fill(0);
  meter_.framesPerSecond = 0;
  meter_.windowFilled = 0;
  meter_.writeIndex = 0;
  meter_.sampleWindow = window;
}

void FrameClock::beginFrameTiming() { markClock(meter_.clockSlot); }

void FrameClock::endFrameTiming() {
  lapClock(meter_.clockSlot);
  const auto sample = static_cast<int>(static_cast<std::uint32_t>(slotAt(meter_.clockSlot)));
  meter_.samples[static_cast<std::size_t>(meter_.writeIndex)] = sample;
  meter_.writeIndex += 1;
  if (meter_.writeIndex == meter_.sampleWindow) {
    meter_.writeIndex = 0;
    meter_.windowFilled = 1;
  } else if (meter_.windowFilled == 0) {
    return;
  }
  std::uint32_t sum = 0;
  for (int i = 0; i < meter_.sampleWindow; ++i) {
    sum += static_cast<std::uint32_t>(meter_.samples[static_cast<std::size_t>(i)]);
  }
  meter_.windowSum = static_cast<int>(sum);
  if (sum == 0) {
    // Every frame of the window took less than one tick: report the clock
    // rate, the most the clock can tell apart, rather than divide by zero.
    meter_.framesPerSecond = TICKS_PER_SECOND;
    return;
  }
  const double average = static_cast<double>(sum) / meter_.sampleWindow;
  meter_.framesPerSecond = static_cast<int>(TICKS_PER_SECOND / average);
}

void FrameClock::paceFrame(int target) {
  // A rate of 0 or less asks for no pacing; dividing by it would fault.
  if (target <= 0) return;
  const int worked = static_cast<int>(static_cast<std::uint32_t>(slotAt(meter_.clockSlot)));
  // Wide arithmetic: a lap whose low 32 bits read negative must not overflow.
  const std::int64_t remaining = std::int64_t{TICKS_PER_SECOND / target} - worked;
  if (remaining > 0) platform_.sleepMilliseconds(static_cast<std::uint32_t>((remaining + 50) / 100));
}

}  // namespace qv
