#pragma once
// The headless host: runs the animation without a window or a real clock.
// Time is virtual: working time counts nothing and only sleeping advances the
// clock, so a run renders the same frames however fast the machine is, and
// program timers fire by that virtual time. Presented frames land in an
// in-memory RGB "window", exactly as a window would show them.

#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "hosts/headless/rgb_image.h"
#include "hosts/portable/clock_timers.h"
#include "hosts/portable/portable_platform.h"

namespace qv {

class HeadlessPlatform : public PortablePlatform {
 public:
  // errorStream receives the fatal error lines (standard error by default).
  HeadlessPlatform(int screenWidth, int screenHeight,
                   std::span<const EmbeddedResource> resources = programResources(),
                   std::FILE* errorStream = stderr);

  void showRuntimeError(std::string_view text) override;
  std::uint64_t clockTicks() override { return ticks_; }
  void sleepMilliseconds(std::uint32_t ms) override;
  int startTimer(int n, std::uint32_t ms) override { return timers_.start(n, ms, ticks_); }
  int stopTimer(int n) override { return timers_.stop(n, ticks_); }
  bool timerFired(int n) override { return timers_.fired(n, ticks_); }
  int screenWidth() override { return screenWidth_; }
  int screenHeight() override { return screenHeight_; }
  void present(const FrameView& frame, int x, int y, int w, int h) override;

  // Moves the virtual clock on without a sleep (a driver may use it to let
  // work take time).
  void advanceClock(std::uint64_t ticks);

  // What the window shows: the size of the last presented frame, black where
  // nothing has been presented yet.
  const RgbImage& window() const { return window_; }

  // Whether presents are copied into the window (on by default). A driver
  // that reads the window only now and then switches it off for the frames
  // nobody looks at: a present of the whole frame is then only counted and
  // remembered, and copySkippedPresent copies the last one while the frame
  // is alive and unchanged (before the next frame is drawn into it). A
  // present of part of the frame is always copied, after any remembered one.
  void setKeepPresents(bool keep) { keepPresents_ = keep; }
  // Copies the last present that was skipped, if any since the last copy.
  void copySkippedPresent();
  const std::vector<std::string>& errorsShown() const { return errorsShown_; }

 private:
  void copyIntoWindow(const FrameView& frame, int x, int y, int w, int h);

  struct SkippedPresent {
    FrameView frame;
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
  };

  int screenWidth_;
  int screenHeight_;
  std::FILE* errorStream_;
  std::uint64_t ticks_ = 0;
  ClockTimers timers_;
  RgbImage window_;
  bool keepPresents_ = true;
  std::optional<SkippedPresent> skipped_;
  std::vector<std::string> errorsShown_;
};

}  // namespace qv
