#pragma once
// The platform in the browser. The clock is performance.now() (from the
// page's time origin, so a scene without a seed gets a different one at each
// visit), or, for the renderer's stills, the renderer's virtual clock that
// only sleeping moves. Frames are paced by the page (frame_pacer.h), so a
// real sleep does nothing. A present hands the page a view of the frame
// buffer in the module's memory, which it puts on its canvas; a fatal error
// goes to the page as its text.

#include <cstdint>
#include <span>

#include "hosts/portable/clock_timers.h"
#include "hosts/portable/portable_platform.h"

namespace qv::web {

enum class PageClock { Real, Virtual };

class WebPlatform : public PortablePlatform {
 public:
  explicit WebPlatform(PageClock clock, std::span<const EmbeddedResource> resources = programResources());

  void showRuntimeError(std::string_view text) override;
  std::uint64_t clockTicks() override;
  void sleepMilliseconds(std::uint32_t ms) override;
  int startTimer(int n, std::uint32_t ms) override { return timers_.start(n, ms, clockTicks()); }
  int stopTimer(int n) override { return timers_.stop(n, clockTicks()); }
  bool timerFired(int n) override { return timers_.fired(n, clockTicks()); }
  int screenWidth() override { return screenWidth_; }
  int screenHeight() override { return screenHeight_; }
  void present(const FrameView& frame, int x, int y, int w, int h) override;

  // The canvas's size in device pixels: what a whole-screen frame covers.
  void setScreenSize(int w, int h);
  // Whether the size changed since the last call (and what it is now).
  bool takeResize(int& w, int& h);
  // Presents reach the page only while shown (a still draws its earlier
  // frames unseen).
  void showPresents(bool shown) { presentsShown_ = shown; }

 private:
  PageClock clock_;
  double originMs_ = 0.0;  // the real clock's origin in the calendar
  std::uint64_t virtualTicks_ = 0;
  ClockTimers timers_;
  int screenWidth_ = 0;
  int screenHeight_ = 0;
  bool resized_ = false;
  bool presentsShown_ = true;
};

}  // namespace qv::web
