#include "hosts/sdl/sdl_platform.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "hosts/portable/picture_codec.h"
#include "ground/runtime_error.h"
#include "hosts/sdl/fps_digits.h"

namespace qv::sdl {

SdlPlatform::SdlPlatform(SDL_Window* window, std::uint32_t frameEventType, bool showFps,
                         std::span<const EmbeddedResource> resources)
    : window_(window),
      frameEventType_(frameEventType),
      showFps_(showFps),
      resources_(resources),
      clockStart_(SDL_GetPerformanceCounter()),
      clockFrequency_(std::max<Uint64>(SDL_GetPerformanceFrequency(), 1)) {}

SdlPlatform::~SdlPlatform() {
  for (int n = 0; n < SDL_TIMER_COUNT; ++n) stopTimer(n);
}

void SdlPlatform::showRuntimeError(std::string_view text) {
  const std::string message(text);
  const std::string caption(RUNTIME_ERROR_CAPTION);
  // The error also goes to the standard error: under the X screen saver the
  // box may be hidden, and a box that cannot be shown leaves only this line.
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), message.c_str());
  std::fflush(stderr);
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), message.c_str(), window_);
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
  screenWidth_.store(w);
  screenHeight_.store(h);
  resized_.store(true);
}

bool SdlPlatform::takeResize(int& w, int& h) {
  if (!resized_.exchange(false)) return false;
  w = screenWidth_.load();
  h = screenHeight_.load();
  return true;
}

void SdlPlatform::acquireSurface() {
  if (window_ == nullptr) return;
  std::lock_guard<std::mutex> lock(surfaceLock_);
  surface_ = SDL_GetWindowSurface(window_);
  dirty_ = SDL_Rect{0, 0, 0, 0};
}

void SdlPlatform::present(const FrameView& frame, int x, int y, int w, int h) {
  if (frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0) return;
  // Only the part inside the frame exists.
  const int left = std::max(x, 0);
  const int top = std::max(y, 0);
  const int right = static_cast<int>(std::min<long long>(static_cast<long long>(x) + w, frame.width));
  const int bottom = static_cast<int>(std::min<long long>(static_cast<long long>(y) + h, frame.height));
  if (right <= left || bottom <= top) return;
  {
    std::lock_guard<std::mutex> lock(surfaceLock_);
    if (surface_ == nullptr) return;
    copyRows(frame, left, top, right - left, bottom - top);
    if (showFps_) drawFpsFigure();
  }
  presentCount_.fetch_add(1);
  if (!framePending_.exchange(true)) {
    SDL_Event e{};
    e.type = frameEventType_;
    SDL_PushEvent(&e);
  }
}

// Copies the rectangle into the surface, clipped to the surface (whose size
// differs from the frame's only until the frame follows a resize).
void SdlPlatform::copyRows(const FrameView& frame, int x, int y, int w, int h) {
  w = std::min(w, surface_->w - x);
  h = std::min(h, surface_->h - y);
  if (w <= 0 || h <= 0) return;
  const Uint32 format = surface_->format->format;
  const bool sameLayout = format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888;
  auto* base = static_cast<std::uint8_t*>(surface_->pixels);
  const int bytesPerPixel = surface_->format->BytesPerPixel;
  const bool mustLock = SDL_MUSTLOCK(surface_);
  if (mustLock) SDL_LockSurface(surface_);
  for (int r = y; r < y + h; ++r) {
    const std::uint32_t* src = frame.topRow(r) + x;
    std::uint8_t* dst = base + static_cast<std::ptrdiff_t>(r) * surface_->pitch +
                        static_cast<std::ptrdiff_t>(x) * bytesPerPixel;
    if (sameLayout) {
      std::memcpy(dst, src, static_cast<std::size_t>(w) * 4);
    } else {
      SDL_ConvertPixels(w, 1, SDL_PIXELFORMAT_ARGB8888, src, w * 4, format, dst, surface_->pitch);
    }
  }
  if (mustLock) SDL_UnlockSurface(surface_);
  const SDL_Rect area{x, y, w, h};
  if (dirty_.w == 0 || dirty_.h == 0) {
    dirty_ = area;
  } else {
    SDL_UnionRect(&dirty_, &area, &dirty_);
  }
}

void SdlPlatform::drawFpsFigure() {
  const Uint64 now = SDL_GetTicks64();
  if (fpsSince_ == 0) fpsSince_ = now;
  ++fpsPresents_;
  if (now - fpsSince_ >= 1000) {
    fpsShown_ = static_cast<int>(static_cast<Uint64>(fpsPresents_) * 1000 / (now - fpsSince_));
    fpsSince_ = now;
    fpsPresents_ = 0;
  }
  const Uint32 white = SDL_MapRGB(surface_->format, 255, 255, 255);
  const Uint32 black = SDL_MapRGB(surface_->format, 0, 0, 0);
  drawFps(fpsShown_, surface_->w, [&](int x, int y, int w, int h, bool lit) {
    const SDL_Rect cell{x, y, w, h};
    SDL_FillRect(surface_, &cell, lit ? white : black);
  });
  const DigitBox box = fpsBox(fpsShown_, surface_->w);
  SDL_Rect area{box.x, box.y, box.w, box.h};
  const SDL_Rect whole{0, 0, surface_->w, surface_->h};
  if (SDL_IntersectRect(&area, &whole, &area) == SDL_TRUE) SDL_UnionRect(&dirty_, &area, &dirty_);
}

void SdlPlatform::showPendingFrame() {
  framePending_.store(false);
  std::lock_guard<std::mutex> lock(surfaceLock_);
  if (surface_ == nullptr || dirty_.w == 0 || dirty_.h == 0) return;
  SDL_UpdateWindowSurfaceRects(window_, &dirty_, 1);
  dirty_ = SDL_Rect{0, 0, 0, 0};
}

void SdlPlatform::repaint() {
  std::lock_guard<std::mutex> lock(surfaceLock_);
  if (surface_ == nullptr) return;
  SDL_UpdateWindowSurface(window_);
  dirty_ = SDL_Rect{0, 0, 0, 0};
}

std::span<const std::uint8_t> SdlPlatform::findResource(std::string_view name, int type) {
  return findEmbeddedResource(resources_, name, type);
}

std::span<const std::uint8_t> SdlPlatform::findResource(std::string_view name, std::string_view type) {
  return findEmbeddedResource(resources_, name, type);
}

bool SdlPlatform::decodePicture(std::span<const std::uint8_t> bytes, DecodedPicture& out) {
  return decodePictureBytes(bytes, out);
}

void SdlPlatform::freePicturePixels(DecodedPicture& picture) { freeDecodedPicture(picture); }

bool SdlPlatform::scalePicture(const DecodedPicture& in, int w, int h, DecodedPicture& out) {
  return scaleDecodedPicture(in, w, h, out);
}

}  // namespace qv::sdl
