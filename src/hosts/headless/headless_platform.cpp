#include "hosts/headless/headless_platform.h"

#include <new>

namespace qv {

HeadlessPlatform::HeadlessPlatform(int screenWidth, int screenHeight,
                                   std::span<const EmbeddedResource> resources, std::FILE* errorStream)
    : PortablePlatform(resources),
      screenWidth_(screenWidth),
      screenHeight_(screenHeight),
      errorStream_(errorStream) {}

void HeadlessPlatform::showRuntimeError(std::string_view text) {
  // The line first: keeping a copy takes memory, which may be what ran out.
  if (errorStream_ != nullptr) printRuntimeError(errorStream_, text);
  try {
    errorsShown_.emplace_back(text);
  } catch (const std::bad_alloc&) {}
}

void HeadlessPlatform::sleepMilliseconds(std::uint32_t ms) {
  advanceClock(static_cast<std::uint64_t>(ms) * 100);
}

void HeadlessPlatform::advanceClock(std::uint64_t ticks) { ticks_ += ticks; }

void HeadlessPlatform::present(const FrameView& frame, int x, int y, int w, int h) {
  if (frame.pixels == nullptr || frame.width <= 0 || frame.height <= 0) return;
  // The window has the frame's size; a frame of a new size makes a new window.
  // A present put off for the old window goes with it.
  if (window_.width != frame.width || window_.height != frame.height) {
    window_ = RgbImage(frame.width, frame.height);
    skipped_.reset();
  }
  // Only a present of the whole frame is put off: it hides every earlier
  // one, so the window is exact once the last of them is copied. Anything
  // smaller is copied at once, after the one put off, which then shows the
  // frame as it is now outside the smaller area (the frame's margins, where
  // no drawing goes).
  const FrameArea a = frameAreaOf(frame, x, y, w, h);
  if (!keepPresents_ && a.left == 0 && a.top == 0 && a.right == frame.width && a.bottom == frame.height) {
    skipped_ = SkippedPresent{frame, x, y, w, h};
    return;
  }
  copySkippedPresent();
  copyIntoWindow(frame, x, y, w, h);
}

void HeadlessPlatform::copySkippedPresent() {
  if (!skipped_) return;
  const SkippedPresent s = *skipped_;
  skipped_.reset();
  copyIntoWindow(s.frame, s.x, s.y, s.w, s.h);
}

void HeadlessPlatform::copyIntoWindow(const FrameView& frame, int x, int y, int w, int h) {
  const auto [left, top, right, bottom] = frameAreaOf(frame, x, y, w, h);
  if (left >= right) return;
  // Row pointers walked straight through: this copy runs for every frame of
  // a full-HD render, so it keeps to plain loads and stores.
  for (int r = top; r < bottom; ++r) {
    const std::uint32_t* src = frame.topRow(r) + left;
    const std::uint32_t* const end = src + (right - left);
    std::uint8_t* dst = window_.at(left, r);
    for (; src != end; ++src, dst += 3) {
      const std::uint32_t p = *src;
      dst[0] = static_cast<std::uint8_t>(p >> 16);
      dst[1] = static_cast<std::uint8_t>(p >> 8);
      dst[2] = static_cast<std::uint8_t>(p);
    }
  }
}

}  // namespace qv
