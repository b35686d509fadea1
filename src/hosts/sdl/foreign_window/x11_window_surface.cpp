#include "hosts/sdl/foreign_window/x11_window_surface.h"

#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <bit>
#include <cstring>

#include "hosts/sdl/shared/x11_errors.h"

namespace qv::sdl {

struct X11WindowSurface::SharedSegment {
  XShmSegmentInfo info{};
};

namespace {

constexpr std::uint32_t WHITE = 0x00FFFFFF;
constexpr std::uint32_t ALPHA_MASK = 0xFF000000;

}  // namespace

X11WindowSurface::X11WindowSurface(Display* display, Window window, const XWindowAttributes& attributes,
                                   bool showFps)
    : FrameSurface(showFps),
      display_(display),
      window_(window),
      visual_(attributes.visual),
      depth_(attributes.depth),
      gc_(XCreateGC(display, window, 0, nullptr)),
      shmAvailable_(XShmQueryExtension(display) == True),
      opaque_(attributes.depth == 32 ? ALPHA_MASK : 0) {
  replacePixels(attributes.width, attributes.height);
}

X11WindowSurface::~X11WindowSurface() {
  {
    std::lock_guard<std::mutex> lock(pixelLock());
    destroyImage();
  }
  XFreeGC(display_, gc_);
}

bool X11WindowSurface::supportsVisual(const XWindowAttributes& attributes) {
  const Visual* v = attributes.visual;
  return v != nullptr && v->c_class == TrueColor && (attributes.depth == 24 || attributes.depth == 32) &&
         v->red_mask == 0xFF0000 && v->green_mask == 0xFF00 && v->blue_mask == 0xFF;
}

void X11WindowSurface::replacePixels(int w, int h) {
  if (image_ != nullptr && image_->width == w && image_->height == h) return;
  destroyImage();
  if (w > 0 && h > 0) createImage(w, h);
}

std::uint32_t* X11WindowSurface::pixelsToLend(int w, int h) {
  const bool fits = image_->width == w && image_->height == h && image_->bytes_per_line == w * 4;
  if (!fits || opaque_ != 0) return nullptr;
  return reinterpret_cast<std::uint32_t*>(image_->data);
}

void X11WindowSurface::createImage(int w, int h) {
  if (shmAvailable_ && createSharedImage(w, h)) return;
  shmAvailable_ = false;  // once refused (a remote display), always refused
  XImage* image = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, nullptr,
                               static_cast<unsigned>(w), static_cast<unsigned>(h), 32, 0);
  if (image == nullptr) return;
  if (image->bits_per_pixel != 32) {
    XDestroyImage(image);
    return;
  }
  // The pixels are in this machine's order; Xlib swaps them for a server
  // of the other order.
  image->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
  ownPixels_.assign(static_cast<std::size_t>(image->bytes_per_line / 4) * static_cast<std::size_t>(h),
                    opaque_);
  image->data = reinterpret_cast<char*>(ownPixels_.data());
  image_ = image;
  shared_ = false;
}

bool X11WindowSurface::createSharedImage(int w, int h) {
  auto* segment = new SharedSegment;
  XImage* image = XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, nullptr,
                                  &segment->info, static_cast<unsigned>(w), static_cast<unsigned>(h));
  if (image == nullptr || image->bits_per_pixel != 32) {
    if (image != nullptr) XDestroyImage(image);
    delete segment;
    return false;
  }
  const std::size_t bytes = static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(h);
  segment->info.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  void* address =
      segment->info.shmid >= 0 ? shmat(segment->info.shmid, nullptr, 0) : reinterpret_cast<void*>(-1);
  if (address == reinterpret_cast<void*>(-1)) {
    if (segment->info.shmid >= 0) shmctl(segment->info.shmid, IPC_RMID, nullptr);
    XDestroyImage(image);
    delete segment;
    return false;
  }
  segment->info.shmaddr = image->data = static_cast<char*>(address);
  segment->info.readOnly = False;
  // A server on another machine refuses the segment with an error.
  const int errorsBefore = xErrorCount();
  XShmAttach(display_, &segment->info);
  XSync(display_, False);
  // Removed now, the segment goes when both sides have let go of it.
  shmctl(segment->info.shmid, IPC_RMID, nullptr);
  if (xErrorCount() != errorsBefore) {
    image->data = nullptr;
    XDestroyImage(image);
    shmdt(address);
    delete segment;
    return false;
  }
  std::fill_n(static_cast<std::uint32_t*>(address), bytes / 4, opaque_);
  image_ = image;
  segment_ = segment;
  shared_ = true;
  return true;
}

void X11WindowSurface::destroyImage() {
  if (image_ == nullptr) return;
  if (shared_) {
    XShmDetach(display_, &segment_->info);
    XSync(display_, False);
    shmdt(segment_->info.shmaddr);
    delete segment_;
    segment_ = nullptr;
  }
  image_->data = nullptr;  // shared memory or ownPixels_, never Xlib's
  XDestroyImage(image_);
  image_ = nullptr;
  ownPixels_ = {};
}

std::uint32_t* X11WindowSurface::row(int r) const {
  return reinterpret_cast<std::uint32_t*>(image_->data +
                                          static_cast<std::ptrdiff_t>(r) * image_->bytes_per_line);
}

void X11WindowSurface::copyRows(const FrameView& frame, int x, int y, int w, int h) {
  for (int r = y; r < y + h; ++r) {
    const std::uint32_t* src = frame.topRow(r) + x;
    std::uint32_t* dst = row(r) + x;
    if (opaque_ == 0) {
      std::memcpy(dst, src, static_cast<std::size_t>(w) * 4);
    } else {
      for (int c = 0; c < w; ++c) dst[c] = src[c] | opaque_;
    }
  }
}

void X11WindowSurface::fillArea(int x, int y, int w, int h, bool white) {
  const std::uint32_t colour = (white ? WHITE : 0) | opaque_;
  for (int r = y; r < y + h; ++r) std::fill_n(row(r) + x, w, colour);
}

void X11WindowSurface::show(const SurfaceArea& area) {
  if (shared_) {
    XShmPutImage(display_, window_, gc_, image_, area.x, area.y, area.x, area.y,
                 static_cast<unsigned>(area.w), static_cast<unsigned>(area.h), False);
    // The server reads the segment while it handles the request: wait for
    // that before the worker may write the next frame into it.
    XSync(display_, False);
  } else {
    XPutImage(display_, window_, gc_, image_, area.x, area.y, area.x, area.y, static_cast<unsigned>(area.w),
              static_cast<unsigned>(area.h));
    XFlush(display_);
  }
}

}  // namespace qv::sdl
