#pragma once
// The SDL2 host's platform: a real clock, sleeps that a close request cuts
// short, program timers on SDL's timer thread, and presenting into the
// window's surface.
//
// Presenting is split between the threads. The worker's present copies the
// frame into the window surface under `surfaceLock_` and posts a frame event;
// the main thread, on that event or on an expose, shows the surface under the
// same lock. So the two never overlap, and every SDL video call stays on the
// main thread.

#include <SDL.h>

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>

#include "ground/hook.h"
#include "ground/platform.h"
#include "hosts/portable/resource_table.h"

namespace qv::sdl {

inline constexpr int SDL_TIMER_COUNT = 16;

class SdlPlatform : public Platform {
 public:
  // `window` may be null (no display): presents then go nowhere. The frame
  // event type comes from SDL_RegisterEvents.
  SdlPlatform(SDL_Window* window, std::uint32_t frameEventType, bool showFps,
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
  std::span<const std::uint8_t> findResource(std::string_view name, int type) override;
  std::span<const std::uint8_t> findResource(std::string_view name, std::string_view type) override;
  bool decodePicture(std::span<const std::uint8_t> bytes, DecodedPicture& out) override;
  void freePicturePixels(DecodedPicture& picture) override;
  bool scalePicture(const DecodedPicture& in, int w, int h, DecodedPicture& out) override;

  // Main thread.
  void setScreenSize(int w, int h);  // the size a whole-screen frame takes
  void acquireSurface();             // after creation and after every resize
  void showPendingFrame();           // on the frame event
  void repaint();                    // on an expose: the last frame again

  // Either thread: ends every sleep at once, now and later.
  void requestStop();
  bool stopRequested() const { return stop_.load(); }

  // Run on the worker at the end of every sleep: the frame pacing sleeps
  // between frames, so this is where the host may change the frame buffers.
  void setFrameBoundaryHook(Hook hook) { frameBoundary_ = hook; }
  // The size changed since the last call (and what it is now).
  bool takeResize(int& w, int& h);

  int presentCount() const { return presentCount_.load(); }

 private:
  struct Timer {
    SDL_TimerID id = 0;
    bool running = false;
    std::atomic<bool> fired{false};
  };
  static Uint32 timerCallback(Uint32 interval, void* param);
  void copyRows(const FrameView& frame, int x, int y, int w, int h);
  void drawFpsFigure();

  SDL_Window* window_;
  std::uint32_t frameEventType_;
  bool showFps_;
  std::span<const EmbeddedResource> resources_;
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

  std::mutex surfaceLock_;
  SDL_Surface* surface_ = nullptr;  // guarded by surfaceLock_
  SDL_Rect dirty_{0, 0, 0, 0};      // guarded by surfaceLock_
  std::atomic<bool> framePending_{false};
  std::atomic<int> presentCount_{0};

  // The -fps figure: presents counted over the last whole second.
  Uint64 fpsSince_ = 0;
  int fpsPresents_ = 0;
  int fpsShown_ = 0;
};

}  // namespace qv::sdl
