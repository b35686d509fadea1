#include "hosts/sdl/shared/frame_surface.h"

#include <algorithm>
#include <chrono>
#include <new>

#include "hosts/sdl/shared/wake_pipe.h"

namespace qv::sdl {
namespace {

SurfaceArea unite(const SurfaceArea& a, const SurfaceArea& b) {
  if (a.empty()) return b;
  if (b.empty()) return a;
  const int left = std::min(a.x, b.x);
  const int top = std::min(a.y, b.y);
  return {left, top, std::max(a.x + a.w, b.x + b.w) - left, std::max(a.y + a.h, b.y + b.h) - top};
}

SurfaceArea clip(const SurfaceArea& a, int w, int h) {
  const int left = std::max(a.x, 0);
  const int top = std::max(a.y, 0);
  return {left, top, std::min(a.x + a.w, w) - left, std::min(a.y + a.h, h) - top};
}

// How long a present waits for the main thread to show the lent pixels, and
// a new frame buffer for it to replace them after a resize, before the
// worker goes on without.
constexpr auto PRESENT_WAIT = std::chrono::milliseconds(1000);

std::uint64_t nowMilliseconds() {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

}  // namespace

std::uint32_t* FrameSurface::acquire(int width, int height) {
  std::unique_lock<std::mutex> lock(lock_);
  if (!showFps_) {
    if (resizeWanted_) {
      // Only the main thread may replace the window's pixels; it does so now
      // that the frame buffer has let go of them.
      lock.unlock();
      announceFrame();
      lock.lock();
      handedBack_.wait_for(lock, PRESENT_WAIT, [this] { return !resizeWanted_ || stopWaiting_; });
    }
    if (!resizeWanted_ && hasPixels()) {
      if (std::uint32_t* pixels = pixelsToLend(width, height)) {
        lent_ = pixels;
        return pixels;
      }
    }
  }
  try {
    const auto words =
        static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(std::max(height, 0));
    ownFrame_.assign(words, 0);
  } catch (const std::bad_alloc&) {
    ownFrame_ = {};
    return nullptr;  // no back buffer: the frame buffer draws nothing
  }
  return ownFrame_.data();
}

void FrameSurface::release(std::uint32_t* pixels) {
  std::lock_guard<std::mutex> lock(lock_);
  if (pixels == lent_) {
    lent_ = nullptr;
  } else if (pixels == ownFrame_.data()) {
    ownFrame_ = {};
  }
}

bool FrameSurface::receive(const FrameView& frame, int x, int y, int w, int h) {
  std::unique_lock<std::mutex> lock(lock_);
  if (!hasPixels()) return false;
  // While the frame is drawn into the window's pixels, a view of other
  // memory (the half-size frame's clear) would be copied over the frame;
  // the frame shows in full at its own present.
  if (lent_ != nullptr && frame.pixels != lent_) return false;
  // The surface differs in size from the frame only until the frame
  // follows a resize.
  const SurfaceArea area = clip({x, y, w, h}, width(), height());
  if (area.empty()) return false;
  if (lent_ == nullptr) copyRows(frame, area.x, area.y, area.w, area.h);
  dirty_ = unite(dirty_, area);
  if (showFps_) drawFpsFigure();
  const bool lent = lent_ != nullptr;
  handedOver_ = lent;
  lock.unlock();
  if (!framePending_.exchange(true)) announceFrame();
  if (lent) {
    // The worker draws the next frame into these pixels: it waits until the
    // main thread has shown them.
    lock.lock();
    handedBack_.wait_for(lock, PRESENT_WAIT, [this] { return !handedOver_ || stopWaiting_; });
    handedOver_ = false;
  }
  return true;
}

void FrameSurface::drawFpsFigure() {
  fps_.framePresented(nowMilliseconds());
  const std::string text = fpsText(fps_.tenths());
  const int w = width();
  const int h = height();
  drawFpsText(text, h, [&](int x, int y, int cw, int ch, bool white) {
    const SurfaceArea cell = clip({x, y, cw, ch}, w, h);
    if (!cell.empty()) fillArea(cell.x, cell.y, cell.w, cell.h, white);
  });
  const TextBox box = fpsTextBox(text, fpsCellSize(h));
  dirty_ = unite(dirty_, clip({box.x, box.y, box.w, box.h}, w, h));
}

void FrameSurface::showPendingFrame() {
  framePending_.store(false);
  std::lock_guard<std::mutex> lock(lock_);
  // An announcement the worker gave up waiting on: it draws again.
  if (!mainThreadOwnsPixels()) return;
  replaceIfWanted();
  if (hasPixels() && !dirty_.empty()) {
    show(dirty_);
    dirty_ = SurfaceArea{};
  }
  if (handedOver_) {
    handedOver_ = false;
    handedBack_.notify_all();
  }
}

void FrameSurface::repaint() {
  std::lock_guard<std::mutex> lock(lock_);
  if (!hasPixels()) return;
  const SurfaceArea all{0, 0, width(), height()};
  if (!mainThreadOwnsPixels()) {
    // Half drawn now: the next present shows all of it.
    dirty_ = all;
    return;
  }
  show(all);
  dirty_ = SurfaceArea{};
}

void FrameSurface::follow(int w, int h) {
  std::lock_guard<std::mutex> lock(lock_);
  resizeWanted_ = true;
  wantedWidth_ = w;
  wantedHeight_ = h;
  replaceIfWanted();
}

void FrameSurface::replaceIfWanted() {
  // The frame buffer still draws into the old pixels: they stay until it
  // lets go of them (at its next frame boundary, as it follows the size).
  if (!resizeWanted_ || lent_ != nullptr) return;
  replacePixels(wantedWidth_, wantedHeight_);
  forgetChanges();
  resizeWanted_ = false;
  handedBack_.notify_all();
}

void FrameSurface::announceFrame() { mainThreadWake().notify(); }

bool FrameSurface::wantsNewPixels() {
  std::lock_guard<std::mutex> lock(lock_);
  return resizeWanted_ && lent_ != nullptr;
}

void FrameSurface::stopWaiting() {
  std::lock_guard<std::mutex> lock(lock_);
  stopWaiting_ = true;
  handedBack_.notify_all();
}

}  // namespace qv::sdl
