#pragma once
// The program clock, its slots and the frame-rate meter. Frames are paced by
// sleeping, not by timers: the frame step marks the clock when a frame starts,
// laps it when the work is done, feeds the working time to the meter and then
// sleeps away what is left of the frame period.

#include <array>
#include <cstdint>

namespace qv {

class Platform;

// Ticks of the program clock per second: one tick is 10 microseconds.
inline constexpr int TICKS_PER_SECOND = 100000;
inline constexpr int CLOCK_SLOT_COUNT = 16;
inline constexpr int MAX_SAMPLE_WINDOW = 256;
// The window the meter starts with, so that it is usable before the scene
// chooses its own (the scene also uses 10).
inline constexpr int DEFAULT_SAMPLE_WINDOW = 10;

// A mark or a lap in ticks.
using ClockSlot = std::int64_t;

struct FrameRateMeter {
  int sampleWindow = DEFAULT_SAMPLE_WINDOW;
  std::array<int, MAX_SAMPLE_WINDOW> samples{};
  int writeIndex = 0;
  int windowFilled = 0;
  int windowSum = 0;  // read as unsigned 32-bit
  int framesPerSecond = 0;
  int clockSlot = 0;
};

class FrameClock {
 public:
  explicit FrameClock(Platform& platform);

  int clockRate() const { return TICKS_PER_SECOND; }
  // The current time in ticks.
  std::uint64_t now();

  // Stores the current time in the slot.
  void markClock(int slot);
  // Replaces the slot by the ticks elapsed since its mark; 0 when the clock
  // has not advanced or has wrapped round in between.
  void lapClock(int slot);
  ClockSlot slotValue(int slot) const;

  void initFrameRateMeter(int window);
  void beginFrameTiming();
  void endFrameTiming();
  // Sleeps so that the frame, measured from beginFrameTiming, lasts at least
  // 1 / target seconds. Call after endFrameTiming.
  void paceFrame(int target);

  const FrameRateMeter& meter() const { return meter_; }
  int framesPerSecond() const { return meter_.framesPerSecond; }

 private:
  ClockSlot& slotAt(int slot);

  Platform& platform_;
  std::array<ClockSlot, CLOCK_SLOT_COUNT> slots_{};
  FrameRateMeter meter_;
};

}  // namespace qv
