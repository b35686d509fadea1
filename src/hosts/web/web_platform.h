#pragma once
// The platform in the browser. The clock is performance.now() (from the
// page's time origin, so a scene without a seed gets a different one at each
// visit), or, for the renderer's stills, the renderer's virtual clock that
// only sleeping moves. Frames are paced by the page (frame_pacer.h), so a
// real sleep does nothing. A present hands the page a view of the frame
// buffer in the module's memory, which it puts on its canvas; a fatal error
// goes to the page as its text.

#include <cstdint>
#include <map>
#include <span>

#include "ground/platform.h"
#include "hosts/portable/resource_table.h"

namespace qv::web {

enum class PageClock { Real, Virtual };

class WebPlatform : public Platform {
 public:
  explicit WebPlatform(PageClock clock, std::span<const EmbeddedResource> resources = programResources());

  void showRuntimeError(std::string_view text) override;
  std::uint64_t clockTicks() override;
  void sleepMilliseconds(std::uint32_t ms) override;
  int startTimer(int n, std::uint32_t ms) override;
  int stopTimer(int n) override;
  bool timerFired(int n) override;
  int screenWidth() override { return screenWidth_; }
  int screenHeight() override { return screenHeight_; }
  void present(const FrameView& frame, int x, int y, int w, int h) override;
  std::span<const std::uint8_t> findResource(std::string_view name, int type) override;
  std::span<const std::uint8_t> findResource(std::string_view name, std::string_view type) override;
  bool decodePicture(std::span<const std::uint8_t> bytes, DecodedPicture& out) override;
  void freePicturePixels(DecodedPicture& picture) override;
  bool scalePicture(const DecodedPicture& in, int w, int h, DecodedPicture& out) override;

  // The canvas's size in device pixels: what a whole-screen frame covers.
  void setScreenSize(int w, int h);
  // Whether the size changed since the last call (and what it is now).
  bool takeResize(int& w, int& h);
  // Presents reach the page only while shown (a still draws its earlier
  // frames unseen).
  void showPresents(bool shown) { presentsShown_ = shown; }

 private:
  struct Timer {
    bool running = false;
    bool fired = false;
    std::uint64_t startTicks = 0;
    std::uint64_t intervalTicks = 0;
  };
  // A running timer whose interval has passed has fired, for good.
  void latch(Timer& t);

  PageClock clock_;
  std::span<const EmbeddedResource> resources_;
  double originMs_ = 0.0;             // the real clock's origin in the calendar
  std::uint64_t virtualTicks_ = 0;
  std::map<int, Timer> timers_;
  int screenWidth_ = 0;
  int screenHeight_ = 0;
  bool resized_ = false;
  bool presentsShown_ = true;
};

}  // namespace qv::web
