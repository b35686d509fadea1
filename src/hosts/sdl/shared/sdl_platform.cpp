#include "hosts/sdl/shared/sdl_platform.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "ground/runtime_error.h"

namespace qv::sdl {

SdlPlatform::SdlPlatform(FrameSurface* surface, SDL_Window* boxOwner,
                         std::span<const EmbeddedResource> resources)
    : PortablePlatform(resources),
      surface_(surface),
      boxOwner_(boxOwner),
      clockStart_(SDL_GetPerformanceCounter()),
      clockFrequency_(std::max<Uint64>(SDL_GetPerformanceFrequency(), 1)) {}

SdlPlatform::~SdlPlatform() {
  for (int n = 0; n < SDL_TIMER_COUNT; ++n) stopTimer(n);
}

void SdlPlatform::showRuntimeError(std::string_view text) {
  // The error also goes to the standard error: under the X screen saver the
  // box may be hidden, and a box that cannot be shown leaves only this line.
  // On X11 the box comes from a forked process with a display of its own,
  // which hangs if another thread held Xlib's global lock at the fork: the
  // main thread does its lock-taking work before the worker starts.
  printRuntimeError(stderr, text);
  const std::string message(text);
  const std::string caption(RUNTIME_ERROR_CAPTION);
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), message.c_str(), boxOwner_);
}

std::uint64_t SdlPlatform::clockTicks() {
  // Split so that a long run cannot overflow the product.
  const Uint64 elapsed = SDL_GetPerformanceCounter() - clockStart_;
  const Uint64 whole = elapsed / clockFrequency_;
  const Uint64 part = elapsed % clockFrequency_;
  return whole * 100000 + part * 100000 / clockFrequency_;
}

void SdlPlatform::sleepMilliseconds(std::uint32_t ms) {
  {
    std::unique_lock<std::mutex> lock(sleepLock_);
    sleepWake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stop_.load(); });
  }
  // After the wait, so that a close request that cut it short is seen before
  // the frame looks at its input.
  if (frameBoundary_) frameBoundary_();
}

void SdlPlatform::requestStop() {
  {
    std::lock_guard<std::mutex> lock(sleepLock_);
    stop_.store(true);
  }
  sleepWake_.notify_all();
  // A present waiting for the main thread, which may be past its last show.
  if (surface_ != nullptr) surface_->stopWaiting();
}

Uint32 SdlPlatform::timerCallback(Uint32 /*interval*/, void* param) {
  static_cast<std::atomic<bool>*>(param)->store(true);
  // The flag never clears, so one firing says all a repeating timer would.
  return 0;
}

int SdlPlatform::startTimer(int n, std::uint32_t ms) {
  if (n < 0 || n >= SDL_TIMER_COUNT) return 0;
  Timer& t = timers_[static_cast<std::size_t>(n)];
  if (t.running) SDL_RemoveTimer(t.id);
  t.id = SDL_AddTimer(std::max<std::uint32_t>(ms, 1), &SdlPlatform::timerCallback, &t.fired);
  t.running = t.id != 0;
  return t.running ? 1000 + n : 0;
}

int SdlPlatform::stopTimer(int n) {
  if (n < 0 || n >= SDL_TIMER_COUNT) return 0;
  Timer& t = timers_[static_cast<std::size_t>(n)];
  if (!t.running) return 0;
  SDL_RemoveTimer(t.id);
  t.running = false;
  t.id = 0;
  return 1;
}

bool SdlPlatform::timerFired(int n) {
  if (n < 0 || n >= SDL_TIMER_COUNT) return false;
  return timers_[static_cast<std::size_t>(n)].fired.load();
}

void SdlPlatform::setScreenSize(int w, int h) {
  if (w == screenWidth_.load() && h == screenHeight_.load()) return;
  const bool first = screenWidth_.exchange(w) == 0;  // the first size is no resize
  screenHeight_.store(h);
  if (!first) resized_.store(true);
}

bool SdlPlatform::takeResize(int& w, int& h) {
  if (!resized_.exchange(false)) return false;
  w = screenWidth_.load();
  h = screenHeight_.load();
  return true;
}

void SdlPlatform::present(const FrameView& frame, int x, int y, int w, int h) {
  if (surface_ == nullptr || frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0) return;
  // Only the part inside the frame exists.
  const FrameArea a = frameAreaOf(frame, x, y, w, h);
  if (a.empty()) return;
  surface_->receive(frame, a.left, a.top, a.right - a.left, a.bottom - a.top);
}

}  // namespace qv::sdl
