#include "hosts/sdl/launcher/preview_x11.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "hosts/sdl/launcher/preview_picture.h"

namespace qv::sdl {
namespace {

// Xlib's default handler ends the process on any error; a preview whose
// window vanishes must end quietly instead.
int ignoreXError(Display*, XErrorEvent*) { return 0; }

}  // namespace

int runX11Preview(std::uint64_t windowId) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "quorvalent: the preview needs an X display\n");
    return 1;
  }
  XSetErrorHandler(ignoreXError);
  const Window window = static_cast<Window>(windowId);
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(display, window, &attributes) == 0 || attributes.depth < 24) {
    XCloseDisplay(display);
    return 0;
  }
  XSelectInput(display, window, ExposureMask | StructureNotifyMask);

  // The picture in the window's own pixel layout (32 bits a pixel, the
  // colour masks of its visual).
  const std::vector<std::uint32_t> argb = composePreviewPicture(programResources());
  std::vector<std::uint32_t> pixels(argb.size());
  const Visual* visual = attributes.visual;
  auto place = [](std::uint32_t channel, unsigned long mask) -> std::uint32_t {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0) ++shift;
    return static_cast<std::uint32_t>((channel << shift) & mask);
  };
  for (std::size_t i = 0; i < argb.size(); ++i) {
    const std::uint32_t p = argb[i];
    pixels[i] = place(p >> 16 & 0xFF, visual->red_mask) | place(p >> 8 & 0xFF, visual->green_mask) |
                place(p & 0xFF, visual->blue_mask);
  }
  XImage* image = XCreateImage(display, attributes.visual, static_cast<unsigned>(attributes.depth), ZPixmap,
                               0, reinterpret_cast<char*>(pixels.data()), PREVIEW_WIDTH, PREVIEW_HEIGHT, 32,
                               PREVIEW_WIDTH * 4);
  GC gc = XCreateGC(display, window, 0, nullptr);
  auto paint = [&] {
    XPutImage(display, window, gc, image, 0, 0, 0, 0, PREVIEW_WIDTH, PREVIEW_HEIGHT);
    XFlush(display);
  };
  paint();
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == Expose && event.xexpose.count == 0) paint();
    if (event.type == DestroyNotify && event.xdestroywindow.window == window) break;
  }
  XFreeGC(display, gc);
  image->data = nullptr;  // the vector owns the pixels
  XDestroyImage(image);
  XCloseDisplay(display);
  return 0;
}

}  // namespace qv::sdl
