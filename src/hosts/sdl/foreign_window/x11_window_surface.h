#pragma once
// The frame surface of a window the program did not create (the screen
// saver's window, one named by -window-id, the root window), drawn with Xlib
// directly: an image in shared memory (MIT-SHM) where the server offers it,
// else an ordinary image sent with XPutImage. The frame is drawn straight
// into the image's memory on a 24-bit visual (a 32-bit one needs its top
// byte set opaque, which a copy does). The window keeps everything else: its
// mapping, its size, its life.

#include <X11/Xlib.h>

#include <cstdint>
#include <vector>

#include "hosts/sdl/shared/frame_surface.h"

namespace qv::sdl {

class X11WindowSurface final : public FrameSurface {
 public:
  // The window's visual must be a true-colour one with 8 bits a channel
  // (see supportsVisual).
  X11WindowSurface(Display* display, Window window, const XWindowAttributes& attributes, bool showFps);
  ~X11WindowSurface() override;

  static bool supportsVisual(const XWindowAttributes& attributes);

 protected:
  bool hasPixels() const override { return image_ != nullptr; }
  int width() const override { return image_->width; }
  int height() const override { return image_->height; }
  std::uint32_t* pixelsToLend(int w, int h) override;
  // A new image of w x h; the pixels start black.
  void replacePixels(int w, int h) override;
  void copyRows(const FrameView& frame, int x, int y, int w, int h) override;
  void fillArea(int x, int y, int w, int h, bool white) override;
  void show(const SurfaceArea& area) override;

 private:
  void createImage(int w, int h);
  bool createSharedImage(int w, int h);
  void destroyImage();
  std::uint32_t* row(int r) const;

  Display* display_;
  Window window_;
  Visual* visual_;
  int depth_;
  GC gc_;
  bool shmAvailable_;
  // A depth-32 visual reads the top byte as opacity: set it opaque.
  std::uint32_t opaque_;

  XImage* image_ = nullptr;  // guarded by pixelLock()
  bool shared_ = false;
  std::vector<std::uint32_t> ownPixels_;  // the image's pixels without shared memory
  struct SharedSegment;
  SharedSegment* segment_ = nullptr;
};

}  // namespace qv::sdl
