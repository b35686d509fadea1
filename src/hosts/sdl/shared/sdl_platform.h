#pragma once
// The desktop program's platform: a real clock, sleeps that a stop request
// cuts short, program timers on SDL's timer thread, and presenting into a
// frame surface (frame_surface.h), which the main thread shows.

#include <SDL.h>

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>

#include "ground/hook.h"
#include "hosts/portable/portable_platform.h"
#include "hosts/sdl/shared/frame_surface.h"

namespace qv::sdl {

inline constexpr int SDL_TIMER_COUNT = 16;

class SdlPlatform : public PortablePlatform {
 public:
  // `surface` may be null: presents then go nowhere. `boxOwner`, when not
  // null, owns the fatal error box.
  SdlPlatform(FrameSurface* surface, SDL_Window* boxOwner,
              std::span<const EmbeddedResource> resources = programResources());
  ~SdlPlatform() override;
  SdlPlatform(const SdlPlatform&) = delete;
  SdlPlatform& operator=(const SdlPlatform&) = delete;

  void showRuntimeError(std::string_view text) override;
  std::uint64_t clockTicks() override;
  void sleepMilliseconds(std::uint32_t ms) override;
  int startTimer(int n, std::uint32_t ms) override;
  int stopTimer(int n) override;
  bool timerFired(int n) override;
  int screenWidth() override { return screenWidth_.load(); }
  int screenHeight() override { return screenHeight_.load(); }
  void present(const FrameView& frame, int x, int y, int w, int h) override;

  // Main thread.
  // The size a whole-screen frame takes; a change after the first is a resize.
  void setScreenSize(int w, int h);

  // Either thread: ends every sleep, and every present's wait for the main
  // thread, at once, now and later.
  void requestStop();
  bool stopRequested() const { return stop_.load(); }

  // Run on the worker at the end of every sleep: the frame pacing sleeps
  // between frames, so this is where the host may change the frame buffers.
  void setFrameBoundaryHook(Hook hook) { frameBoundary_ = hook; }
  // The size changed since the last call (and what it is now).
  bool takeResize(int& w, int& h);

 private:
  struct Timer {
    SDL_TimerID id = 0;
    bool running = false;
    std::atomic<bool> fired{false};
  };
  static Uint32 timerCallback(Uint32 interval, void* param);

  FrameSurface* surface_;
  SDL_Window* boxOwner_;
  Uint64 clockStart_;
  Uint64 clockFrequency_;

  std::atomic<int> screenWidth_{0};
  std::atomic<int> screenHeight_{0};
  std::atomic<bool> resized_{false};

  std::atomic<bool> stop_{false};
  std::mutex sleepLock_;
  std::condition_variable sleepWake_;
  Hook frameBoundary_;

  std::array<Timer, SDL_TIMER_COUNT> timers_;
};

}  // namespace qv::sdl
