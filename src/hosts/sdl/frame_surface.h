#pragma once
// Where presented frames wait for the window. The worker's present copies the
// frame into the surface's pixels under the surface's lock and announces it;
// the main thread, on that announcement or on an expose, shows the pixels
// under the same lock. So the two never overlap, and every window-system call
// stays on the main thread. The window's own kind (an SDL window, a foreign
// X11 window) says how pixels are held, shown and announced.

#include <atomic>
#include <mutex>

#include "ground/platform.h"
#include "hosts/sdl/fps_figure.h"

namespace qv::sdl {

struct SurfaceArea {
  int x = 0, y = 0, w = 0, h = 0;
  bool empty() const { return w <= 0 || h <= 0; }
};

class FrameSurface {
 public:
  explicit FrameSurface(bool showFps) : showFps_(showFps) {}
  virtual ~FrameSurface() = default;
  FrameSurface(const FrameSurface&) = delete;
  FrameSurface& operator=(const FrameSurface&) = delete;

  // Worker: copies the rectangle (inside the frame) into the pixels, clipped
  // to them, with the fps figure over it, and announces it to the main
  // thread unless a frame is already waiting. True when something was copied.
  bool receive(const FrameView& frame, int x, int y, int w, int h);

  // Main thread: shows what changed since the last show.
  void showPendingFrame();
  // Main thread, on an expose: shows all of it again.
  void repaint();

 protected:
  // Called under the lock.
  virtual bool hasPixels() const = 0;
  virtual int width() const = 0;
  virtual int height() const = 0;
  virtual void copyRows(const FrameView& frame, int x, int y, int w, int h) = 0;
  virtual void fillArea(int x, int y, int w, int h, bool white) = 0;
  virtual void show(const SurfaceArea& area) = 0;
  // Called without the lock, on the worker: wake the main thread.
  virtual void announceFrame() = 0;

  // Subclasses hold it while they replace their pixels (a resize), and call
  // forgetChanges then.
  std::mutex& pixelLock() { return lock_; }
  void forgetChanges() { dirty_ = SurfaceArea{}; }

 private:
  void drawFpsFigure();

  std::mutex lock_;
  SurfaceArea dirty_;  // guarded by lock_
  std::atomic<bool> framePending_{false};
  bool showFps_;
  FpsMeter fps_;  // worker only
};

}  // namespace qv::sdl
