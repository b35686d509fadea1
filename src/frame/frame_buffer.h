#pragma once
// The back buffer and its geometry. Every frame is drawn in software into one
// 32-bit buffer laid out as a bottom-up bitmap (the last memory row is the top
// of the picture), with a depth buffer of the same size, and then copied to
// the window through the platform. The kernels address the inner drawing
// rectangle through `pixels` and `rowStart` and stay within `maxColumn` and
// `maxRow`.
//
// The per-frame clear refills only what the last frame drew, as the splat
// set-up and the overlays record it (frame/drawn_area.h).
//
// An optional half-resolution mode draws every frame into a buffer of half the
// width and height and shows it pixel-doubled.

#include <cstdint>
#include <vector>

#include "frame/drawn_area.h"
#include "ground/aligned_buffer.h"

namespace qv {

class Platform;

// As a frame width: the whole screen.
inline constexpr int FULL_SCREEN_REQUEST = 9999999;
// Trail values: clear every frame, and blend half-way to the background.
inline constexpr int TRAIL_CLEAR = 0;
inline constexpr int TRAIL_HALF_FADE = 1001;
// Every depth entry reads this after the per-frame reset (every byte 0x1F).
inline constexpr std::int32_t DEPTH_RESET_VALUE = 0x1F1F1F1F;
// The fade towards the background of TRAIL_HALF_FADE.
inline constexpr int HALF_FADE_WEIGHT = 127;

struct FrameBufferGeometry {
  std::int32_t width = 0;  // also the row stride in pixels
  std::int32_t height = 0;
  std::int32_t marginX = 0;
  std::int32_t marginY = 0;
  std::int32_t hasMargin = 0;  // marginX | marginY
  std::int32_t innerWidth = 0;
  std::int32_t innerHeight = 0;
  std::int32_t maxColumn = -1;
  std::int32_t maxRow = -1;
  double projectionScale = 0.0;  // innerHeight * zoom * (1 / 600)
  double zoom = 1.0;             // takes effect at the next setMargins
  std::uint32_t* pixels = nullptr;
  // For drawing row r (0 = top of the inner rectangle) the offset of its first
  // inner pixel in `pixels`; one entry per inner row.
  std::vector<std::int32_t> rowStart;
  // Where whatever draws into `pixels` records what it touched, for the next
  // clear; null when that clear fills the whole frame anyway (the half-size
  // frame).
  DrawnArea* drawn = nullptr;
};

// Where the back buffer's memory comes from when the host supplies it (a
// window system's bitmap), so that the frame is drawn where it is shown.
// acquire may return null: then there is no back buffer, and the clears,
// fades and presents do nothing. The memory holds width x height words, row
// after row, the bottom row first unless the host's memory says otherwise.
class BackBufferMemory {
 public:
  virtual ~BackBufferMemory() = default;
  virtual std::uint32_t* acquire(int width, int height) = 0;
  virtual void release(std::uint32_t* pixels) = 0;
  virtual bool bottomUp() const { return true; }
};

class FrameBuffer {
 public:
  // Without `memory` the buffer is allocated here.
  explicit FrameBuffer(Platform& platform, BackBufferMemory* memory = nullptr);
  ~FrameBuffer();
  FrameBuffer(const FrameBuffer&) = delete;
  FrameBuffer& operator=(const FrameBuffer&) = delete;

  // Settings the scene and host write directly.
  std::uint32_t clearColour = 0xFF0A0A0A;       // a requested full clear
  std::uint32_t backgroundColour = 0xFF000000;  // per-frame clear, first fill, fade target
  std::int32_t trail = TRAIL_CLEAR;             // 0, 1001, or a per-channel step down
  std::int32_t halfResRequested = 0;            // once set, every frame is drawn at half size

  // Geometry. setFrameSize takes the screen's size for FULL_SCREEN_REQUEST.
  void setFrameSize(int w, int h);
  void setMargins(int x, int y);  // y = -1: the same as x
  void buildRowTable(int order);  // 0: top-down; otherwise bottom-up
  void setZoom(double zoom) { live_.zoom = zoom; }

  // Buffers.
  void createFrameBuffers();
  void releaseFrameBuffers();
  void createBackBuffer();
  void destroyBackBuffer();

  // Per-frame steps, in the order the composition calls them.
  void beginHalfResFrame();
  int needsClear() const;
  void clearStep();
  // Whether this frame's clear refills only what the last frame drew (no
  // full clear is due): then the rows may be cleared a band at a time, each
  // just before it is drawn, instead of by clearStep.
  bool clearsByRows() const;
  // clearStep's refill of drawing rows first ... last, when clearsByRows.
  void clearDrawnRows(int first, int last);
  void clearInner(int x, int y);  // y = -1: the same as x
  void fadeStep();
  void resetDepthBuffer();
  void endHalfResFrame();
  int present();
  void presentRect(int x, int y);  // y = -1: the same as x

  // For whoever writes into the frame other than through the splat set-up
  // and the overlays, which record what they touch: the next clear refills
  // the whole inner rectangle.
  void markAllDrawn();

  const FrameBufferGeometry& geometry() const { return live_; }
  std::int32_t* depthBuffer() const { return depthBuffer_.data(); }
  std::int32_t bottomUp() const { return bottomUp_; }
  std::int32_t clearRequested() const { return clearRequested_; }
  std::int32_t fullScreen() const { return fullScreen_; }
  std::int32_t halfResActive() const { return halfResActive_; }
  std::int32_t swapPending() const { return swapPending_; }

 private:
  void fillRegion(std::uint32_t colour, int x0, int y0, int x1, int y1);
  void fillWhole(std::uint32_t colour);
  void presentArea(int x, int y, int w, int h);
  void freeHalfBuffer();

  Platform& platform_;
  BackBufferMemory* memory_;
  DrawnArea drawn_;  // of the full-size buffer
  FrameBufferGeometry live_;
  FrameBufferGeometry savedFull_;
  FrameBufferGeometry savedHalf_;
  std::uint32_t* backBuffer_ = nullptr;   // the full-size buffer: the host's or ownBack_
  AlignedBuffer<std::uint32_t> ownBack_;  // the full-size buffer when no host memory is given
  std::int32_t backWidth_ = 0;            // the size it was made for
  std::int32_t backHeight_ = 0;
  AlignedBuffer<std::uint32_t> halfBuffer_;
  AlignedBuffer<std::int32_t> depthBuffer_;
  std::int32_t bottomUp_ = 1;
  std::int32_t clearRequested_ = 0;
  std::int32_t fullScreen_ = 0;
  std::int32_t halfResActive_ = 0;
  std::int32_t swapPending_ = 0;
};

}  // namespace qv
