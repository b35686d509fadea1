#pragma once
// Where presented frames wait for the window, and, where the window's pixels
// allow it, the memory the frame is drawn into. Every window-system call
// stays on the main thread; the worker draws and presents.
//
// Lent pixels: when the window's pixels are 32-bit words of the frame's own
// layout, top row first without a gap, the surface lends them to the frame
// buffer (as its BackBufferMemory) and a present is one upload, no copy. The
// pixels then belong to the worker while it draws; a present hands them to
// the main thread, which shows them and hands them back, the worker waiting
// meanwhile. An expose while the worker draws is shown with the next
// present, and a resize replaces the pixels only once the frame buffer has
// let go of them.
//
// Otherwise (a window of another layout, or the fps figure, which must not be
// drawn into the frame the core keeps) the frame is drawn into memory of the
// surface's own, and a present copies the frame into the window's pixels
// under the surface's lock; the main thread shows them under the same lock.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "frame/frame_buffer.h"
#include "ground/platform.h"
#include "hosts/sdl/shared/fps_figure.h"

namespace qv::sdl {

struct SurfaceArea {
  int x = 0, y = 0, w = 0, h = 0;
  bool empty() const { return w <= 0 || h <= 0; }
};

class FrameSurface : public BackBufferMemory {
 public:
  explicit FrameSurface(bool showFps) : showFps_(showFps) {}
  ~FrameSurface() override = default;
  FrameSurface(const FrameSurface&) = delete;
  FrameSurface& operator=(const FrameSurface&) = delete;

  // Worker, through the frame buffer: the window's pixels when they fit the
  // frame, else memory of the surface's own; rows run top row first.
  std::uint32_t* acquire(int width, int height) override;
  void release(std::uint32_t* pixels) override;
  bool bottomUp() const override { return false; }

  // Worker: takes the rectangle (inside the frame) into the pixels, clipped
  // to them (a copy unless the frame is drawn into them), with the fps figure
  // over it, and announces it to the main thread unless a frame is already
  // waiting. Lent pixels: returns once the main thread has shown them (or
  // after PRESENT_WAIT, or at once after stopWaiting). True when something
  // was taken.
  bool receive(const FrameView& frame, int x, int y, int w, int h);

  // Main thread: shows what changed since the last show, and replaces the
  // pixels after a resize once that is possible.
  void showPendingFrame();
  // Main thread, on an expose: shows all of it again.
  void repaint();
  // Main thread: the window is now w x h; its pixels follow.
  void follow(int w, int h);

  // Worker: the window has new pixels to give once the frame buffer lets go
  // of the ones it draws into.
  bool wantsNewPixels();

  // Either thread: the worker waits for the main thread no more.
  void stopWaiting();

 protected:
  // Called under the lock.
  virtual bool hasPixels() const = 0;
  virtual int width() const = 0;
  virtual int height() const = 0;
  // The window's pixels when the frame (w x h) can be drawn into them as they
  // are, else null.
  virtual std::uint32_t* pixelsToLend(int w, int h) = 0;
  virtual void replacePixels(int w, int h) = 0;
  virtual void copyRows(const FrameView& frame, int x, int y, int w, int h) = 0;
  virtual void fillArea(int x, int y, int w, int h, bool white) = 0;
  virtual void show(const SurfaceArea& area) = 0;
  // Called without the lock, on the worker: wakes the main thread
  // (mainThreadWake).
  virtual void announceFrame();

  // Held by subclasses while they tear their pixels down.
  std::mutex& pixelLock() { return lock_; }

 private:
  void drawFpsFigure();
  void forgetChanges() { dirty_ = SurfaceArea{}; }
  // Under the lock: whether the main thread may touch the pixels now.
  bool mainThreadOwnsPixels() const { return lent_ == nullptr || handedOver_; }
  void replaceIfWanted();

  std::mutex lock_;
  std::condition_variable handedBack_;
  // Guarded by lock_.
  SurfaceArea dirty_;
  std::uint32_t* lent_ = nullptr;  // the window's pixels while the frame is drawn into them
  bool handedOver_ = false;        // a present waits for the main thread to show them
  bool resizeWanted_ = false;      // the window's size changed while the pixels were lent
  int wantedWidth_ = 0;
  int wantedHeight_ = 0;
  bool stopWaiting_ = false;
  std::vector<std::uint32_t> ownFrame_;  // the frame when the window's pixels do not fit

  std::atomic<bool> framePending_{false};
  bool showFps_;
  FpsMeter fps_;  // worker only
};

}  // namespace qv::sdl
