#include "frame/frame_buffer.h"

#include <algorithm>
#include <cstring>

#include "ground/memory_blocks.h"
#include "ground/platform.h"

namespace qv {

namespace {

constexpr double PROJECTION_HEIGHT_UNIT = 1.0 / 600;

// When blue, green and red are one byte the fill is a byte fill (the top
// byte takes it too), which is the fastest fill there is.
bool isGreyFill(std::uint32_t colour) {
  const std::uint32_t b = colour & 0xFF;
  return ((colour >> 8) & 0xFF) == b && ((colour >> 16) & 0xFF) == b;
}

void fillPixels(std::uint32_t* first, std::size_t count, std::uint32_t colour) {
  if (isGreyFill(colour)) {
    std::memset(first, static_cast<int>(colour & 0xFF), count * sizeof(std::uint32_t));
  } else {
    std::fill_n(first, count, colour);
  }
}

// Every channel minus v, 0 wherever the difference leaves 0 ... 255 (so a
// negative step, which would overflow a channel, clears it too).
std::uint32_t stepDown(std::uint32_t pixel, int v) {
  std::uint32_t out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int d = static_cast<int>((pixel >> shift) & 0xFF) - v;
    if (d >= 0 && d <= 255) out |= static_cast<std::uint32_t>(d) << shift;
  }
  return out;
}

// The fades below are the pixel operations written for whole rows, in plain
// integer steps that the compiler runs several pixels at a time.

// subtractFloor(pixel, step in every channel) for a step of 1 ... 255 on a
// whole row: each byte goes down by the step, held at 0, which is one
// saturating byte subtraction for many bytes at once; then the top bytes,
// which the channel operation leaves 0, are cleared.
void subtractFloorRow(std::uint32_t* p, int columns, int step) {
  auto* bytes = reinterpret_cast<unsigned char*>(p);
  const auto s = static_cast<unsigned char>(step);
  const std::size_t count = static_cast<std::size_t>(columns) * sizeof(std::uint32_t);
  for (std::size_t i = 0; i < count; ++i)
    bytes[i] = bytes[i] > s ? static_cast<unsigned char>(bytes[i] - s) : 0;
  for (int c = 0; c < columns; ++c) p[c] &= 0x00FFFFFFu;
}

// lerpChannels(pixel, target, 127) on a whole row. Per channel
// a + floor((b - a) t / 256) equals (a (256 - t) + b t) >> 8, a sum that is
// never negative and fits 16 bits, so blue and red share one word in lanes of
// 16 bits and green takes another; a * 129 is a shift and an add.
void lerpRow(std::uint32_t* p, int columns, std::uint32_t target) {
  static_assert(256 - HALF_FADE_WEIGHT == 129);
  const std::uint32_t targetBlueRed = (target & 0x00FF00FFu) * HALF_FADE_WEIGHT;
  const std::uint32_t targetGreen = ((target >> 8) & 0xFFu) * HALF_FADE_WEIGHT;
  for (int c = 0; c < columns; ++c) {
    const std::uint32_t a = p[c] & 0x00FF00FFu;
    const std::uint32_t ag = (p[c] >> 8) & 0xFFu;
    const std::uint32_t br = ((a << 7) + a + targetBlueRed) >> 8;
    const std::uint32_t g = ((ag << 7) + ag + targetGreen) >> 8;
    p[c] = (br & 0x00FF00FFu) | ((g & 0xFFu) << 8);
  }
}

}  // namespace

FrameBuffer::FrameBuffer(Platform& platform, BackBufferMemory* memory)
    : platform_(platform), memory_(memory) {
  live_.drawn = &drawn_;
}

FrameBuffer::~FrameBuffer() { releaseFrameBuffers(); }

void FrameBuffer::setFrameSize(int w, int h) {
  if (w == FULL_SCREEN_REQUEST) {
    live_.width = platform_.screenWidth();
    live_.height = platform_.screenHeight();
    fullScreen_ = 1;
  } else {
    live_.width = w;
    live_.height = h;
    fullScreen_ = 0;
  }
  setMargins(0, -1);
}

void FrameBuffer::setMargins(int x, int y) {
  if (y == -1) y = x;
  // At least 16 pixels stay inside; a frame narrower than that, or a negative
  // margin, has no margin at all rather than an inner rectangle wider than the
  // buffer.
  x = std::max(std::min(x, (live_.width - 16) / 2), 0);
  y = std::max(std::min(y, (live_.height - 16) / 2), 0);
  live_.marginX = x;
  live_.marginY = y;
  live_.hasMargin = x | y;
  live_.innerWidth = live_.width - 2 * x;
  live_.innerHeight = live_.height - 2 * y;
  live_.maxColumn = live_.innerWidth - 1;
  live_.maxRow = live_.innerHeight - 1;
  if (live_.drawn != nullptr) live_.drawn->reset(live_.innerHeight, live_.innerWidth);
  clearRequested_ = 1;
  buildRowTable(bottomUp_);
  live_.projectionScale = live_.innerHeight * live_.zoom * PROJECTION_HEIGHT_UNIT;
}

void FrameBuffer::buildRowTable(int order) {
  bottomUp_ = order;
  // What was drawn lies at the old table's memory rows.
  if (live_.drawn != nullptr) live_.drawn->markAll();
  // One entry per inner row, however tall the frame.
  live_.rowStart.resize(static_cast<std::size_t>(std::max(live_.innerHeight, 0)));
  for (int r = 0; r < live_.innerHeight; ++r) {
    const int memoryRow = order == 0 ? live_.marginY + r : live_.height - live_.marginY - 1 - r;
    live_.rowStart[static_cast<std::size_t>(r)] = memoryRow * live_.width + live_.marginX;
  }
}

void FrameBuffer::createFrameBuffers() {
  releaseFrameBuffers();
  const std::size_t count = static_cast<std::size_t>(std::max(live_.width, 0)) * std::max(live_.height, 0);
  depthBuffer_.allocate(platform_, count, ALIGNMENT_16, FILL_ZERO);
  createBackBuffer();
  buildRowTable(memory_ != nullptr && !memory_->bottomUp() ? 0 : 1);
}

void FrameBuffer::releaseFrameBuffers() {
  // Released in the middle of a half-size frame: the full geometry comes back.
  if (swapPending_ != 0) live_ = savedFull_;
  depthBuffer_.reset();
  destroyBackBuffer();
  freeHalfBuffer();
  halfResActive_ = 0;
  swapPending_ = 0;
}

void FrameBuffer::freeHalfBuffer() {
  if (live_.pixels == halfBuffer_.data()) live_.pixels = nullptr;
  halfBuffer_.reset();
}

void FrameBuffer::createBackBuffer() {
  destroyBackBuffer();
  const int w = std::max(live_.width, 0);
  const int h = std::max(live_.height, 0);
  if (memory_ != nullptr) {
    backBuffer_ = memory_->acquire(w, h);
  } else {
    ownBack_.allocate(platform_, static_cast<std::size_t>(w) * h, ALIGNMENT_16, FILL_NONE);
    backBuffer_ = ownBack_.data();
  }
  live_.pixels = backBuffer_;
  drawn_.markAll();
  if (backBuffer_ == nullptr) return;
  backWidth_ = w;
  backHeight_ = h;
  fillWhole(backgroundColour);
}

void FrameBuffer::destroyBackBuffer() {
  if (backBuffer_ != nullptr && memory_ != nullptr) memory_->release(backBuffer_);
  ownBack_.reset();
  if (live_.pixels == backBuffer_) live_.pixels = nullptr;
  if (savedFull_.pixels == backBuffer_) savedFull_.pixels = nullptr;
  backBuffer_ = nullptr;
  backWidth_ = 0;
  backHeight_ = 0;
}

int FrameBuffer::needsClear() const { return (trail == TRAIL_CLEAR || clearRequested_ != 0) ? 1 : 0; }

void FrameBuffer::clearStep() {
  DrawnArea* drawn = live_.drawn;
  if (clearRequested_ != 0) {
    fillWhole(clearColour);
    presentArea(0, 0, live_.width, live_.height);
    clearRequested_ = 0;
    if (drawn != nullptr) drawn->markAll();
  }
  if (clearsByRows()) {
    clearDrawnRows(0, live_.innerHeight - 1);
    return;
  }
  clearInner(live_.marginX, live_.marginY);
  if (drawn != nullptr) drawn->forget();
}

bool FrameBuffer::clearsByRows() const {
  return clearRequested_ == 0 && live_.drawn != nullptr && !live_.drawn->all();
}

// Only the inner rectangle is ever drawn into, so outside it the last full
// clear still holds.
void FrameBuffer::clearDrawnRows(int first, int last) {
  std::uint32_t* const pixels = live_.pixels;
  const std::int32_t* const rowStart = live_.rowStart.data();
  const std::uint32_t colour = backgroundColour;
  live_.drawn->takeDrawnRows(first, last, [&](int row, int column, int count) {
    if (pixels != nullptr)
      fillPixels(pixels + rowStart[row] + column, static_cast<std::size_t>(count), colour);
  });
}

void FrameBuffer::markAllDrawn() {
  if (live_.drawn != nullptr) live_.drawn->markAll();
}

void FrameBuffer::clearInner(int x, int y) {
  if (y == -1) y = x;
  if (live_.pixels == nullptr) return;
  if (x == 0) {
    fillWhole(backgroundColour);
    return;
  }
  fillRegion(backgroundColour, x, y, live_.width - x, live_.height - y);
}

void FrameBuffer::fillWhole(std::uint32_t colour) {
  if (live_.pixels == nullptr) return;
  fillPixels(live_.pixels, static_cast<std::size_t>(live_.width) * live_.height, colour);
}

// Memory rows y0 ... y1 - 1, columns x0 ... x1 - 1, kept inside the buffer.
void FrameBuffer::fillRegion(std::uint32_t colour, int x0, int y0, int x1, int y1) {
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, live_.width);
  y1 = std::min(y1, live_.height);
  if (x1 <= x0) return;
  for (int row = y0; row < y1; ++row) {
    fillPixels(live_.pixels + static_cast<std::ptrdiff_t>(row) * live_.width + x0,
               static_cast<std::size_t>(x1 - x0), colour);
  }
}

void FrameBuffer::fadeStep() {
  if (trail == TRAIL_CLEAR) return;
  // Traces of every earlier frame stay: a later clear has to fill everything.
  markAllDrawn();
  if (live_.pixels == nullptr) return;
  const int rows = live_.innerHeight;
  const int columns = live_.innerWidth;
  const std::uint32_t background = backgroundColour;
  const int v = trail;
  // The per-row constants of the word forms.
  for (int r = 0; r < rows; ++r) {
    std::uint32_t* p = live_.pixels + live_.rowStart[static_cast<std::size_t>(r)];
    if (v == TRAIL_HALF_FADE) {
      if (background != 0) {
        lerpRow(p, columns, background);
      } else {
        for (int c = 0; c < columns; ++c) p[c] = (p[c] >> 1) & 0x7F7F7Fu;
      }
    } else if (v > 0 && v <= 255) {
      subtractFloorRow(p, columns, v);
    } else {
      for (int c = 0; c < columns; ++c) p[c] = stepDown(p[c], v);
    }
  }
}

void FrameBuffer::resetDepthBuffer() {
  if (depthBuffer_ == nullptr) return;
  if (live_.hasMargin != 0) {
    const int x0 = live_.marginX;
    const int columns = live_.width - 2 * live_.marginX;
    for (int row = live_.marginY; row < live_.height - live_.marginY; ++row) {
      std::memset(depthBuffer_.data() + static_cast<std::ptrdiff_t>(row) * live_.width + x0, 0x1F,
                  static_cast<std::size_t>(columns) * sizeof(std::int32_t));
    }
  } else {
    std::memset(depthBuffer_.data(), 0x1F,
                static_cast<std::size_t>(live_.width) * live_.height * sizeof(std::int32_t));
  }
}

void FrameBuffer::beginHalfResFrame() {
  if (halfResRequested == 0) return;
  if (swapPending_ != 0) return;
  if (halfResActive_ != 0) {
    live_ = savedHalf_;
    live_.pixels = halfBuffer_.data();
    swapPending_ = 1;
    return;
  }
  savedFull_ = live_;
  // The half-size frame is cleared whole each time; the full-size one is
  // overwritten by the doubling.
  live_.drawn = nullptr;
  setFrameSize(live_.width / 2, live_.height / 2);
  halfBuffer_.allocate(platform_, static_cast<std::size_t>(live_.width) * live_.height, ALIGNMENT_16,
                       FILL_NONE);
  live_.pixels = halfBuffer_.data();
  savedHalf_ = live_;
  halfResActive_ = 1;
  swapPending_ = 1;
}

// The half-size picture shown at full size: each half pixel becomes a 2 x 2
// block, memory row for memory row (both buffers are stored the same way up).
// A full buffer of odd width or height has one column or row more than the
// doubling covers; it repeats its neighbour.
void FrameBuffer::endHalfResFrame() {
  if (swapPending_ == 0) return;
  const std::uint32_t* half = live_.pixels;
  const int halfWidth = live_.width;
  const int halfHeight = live_.height;
  live_ = savedFull_;
  swapPending_ = 0;
  markAllDrawn();
  std::uint32_t* full = live_.pixels;
  const int fullWidth = live_.width;
  const int fullHeight = live_.height;
  if (half == nullptr || full == nullptr || halfWidth <= 0 || halfHeight <= 0) return;
  for (int i = 0; i < halfHeight; ++i) {
    const std::uint32_t* src = half + static_cast<std::ptrdiff_t>(i) * halfWidth;
    std::uint32_t* top = full + static_cast<std::ptrdiff_t>(2 * i) * fullWidth;
    for (int k = 0; k < halfWidth; ++k) {
      top[2 * k] = src[k];
      top[2 * k + 1] = src[k];
    }
    if (2 * halfWidth < fullWidth) top[2 * halfWidth] = src[halfWidth - 1];
    std::memcpy(top + fullWidth, top, static_cast<std::size_t>(fullWidth) * sizeof(std::uint32_t));
  }
  if (2 * halfHeight < fullHeight) {
    std::uint32_t* last = full + static_cast<std::ptrdiff_t>(2 * halfHeight) * fullWidth;
    std::memcpy(last, last - fullWidth, static_cast<std::size_t>(fullWidth) * sizeof(std::uint32_t));
  }
}

int FrameBuffer::present() {
  const int y = live_.marginY == -1 ? live_.marginX : live_.marginY;
  presentArea(live_.marginX, y, live_.width - 2 * live_.marginX, live_.height - 2 * y);
  return 1;
}

void FrameBuffer::presentRect(int x, int y) {
  if (y == -1) y = x;
  presentArea(x, y, live_.width - 2 * x, live_.height - 2 * y);
}

void FrameBuffer::presentArea(int x, int y, int w, int h) {
  if (live_.pixels == nullptr) return;
  FrameView view;
  view.pixels = live_.pixels;
  view.width = live_.width;
  view.height = live_.height;
  view.strideWords = live_.width;
  view.bottomUp = bottomUp_ != 0;
  platform_.present(view, x, y, w, h);
}

}  // namespace qv
