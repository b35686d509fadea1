#include "hosts/sdl/frame_surface.h"

#include <algorithm>
#include <chrono>

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

std::uint64_t nowMilliseconds() {
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
          .count());
}

}  // namespace

bool FrameSurface::receive(const FrameView& frame, int x, int y, int w, int h) {
  {
    std::lock_guard<std::mutex> lock(lock_);
    if (!hasPixels()) return false;
    // The surface differs in size from the frame only until the frame
    // follows a resize.
    const SurfaceArea area = clip({x, y, w, h}, width(), height());
    if (area.empty()) return false;
    copyRows(frame, area.x, area.y, area.w, area.h);
    dirty_ = unite(dirty_, area);
    if (showFps_) drawFpsFigure();
  }
  if (!framePending_.exchange(true)) announceFrame();
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
  if (!hasPixels() || dirty_.empty()) return;
  show(dirty_);
  dirty_ = SurfaceArea{};
}

void FrameSurface::repaint() {
  std::lock_guard<std::mutex> lock(lock_);
  if (!hasPixels()) return;
  show({0, 0, width(), height()});
  dirty_ = SurfaceArea{};
}

}  // namespace qv::sdl
