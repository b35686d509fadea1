#include "hosts/sdl/launcher/preview_x11.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <vector>

#include "hosts/portable/icon_decoder.h"
#include "hosts/portable/picture_codec.h"
#include "hosts/portable/preview_layout.h"
#include "hosts/portable/resource_table.h"
#include "hosts/sdl/shared/stop_signals.h"
#include "hosts/sdl/shared/wake_pipe.h"
#include "hosts/sdl/shared/x11_display_opening.h"
#include "hosts/sdl/shared/x11_errors.h"

namespace qv::sdl {
namespace {

std::uint32_t placeChannel(std::uint32_t channel, unsigned long mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1) == 0) ++shift;
  return static_cast<std::uint32_t>((channel << shift) & mask);
}

// The preview picture from the icon resources, in the window's pixel layout
// (32 bits a pixel, the colour masks of its visual). An icon missing or
// unreadable is left out, as the window system draws nothing for it.
std::vector<std::uint32_t> previewPixels(const Visual* visual) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(PREVIEW_WIDTH) * PREVIEW_HEIGHT, 0xFF000000u);
  for (const PreviewIcon& icon : PREVIEW_ICONS) {
    const auto bytes = findEmbeddedResource(programResources(), icon.name, RESOURCE_TYPE_GROUP_ICON);
    DecodedPicture image;
    if (bytes.empty() || !decodeIconImage(bytes, PREVIEW_ICON_SIZE, image)) continue;
    drawIconOver(image, pixels.data(), PREVIEW_WIDTH, PREVIEW_HEIGHT, icon.x, icon.y);
    freeDecodedPicture(image);
  }
  for (std::uint32_t& p : pixels) {
    p = placeChannel(p >> 16 & 0xFF, visual->red_mask) | placeChannel(p >> 8 & 0xFF, visual->green_mask) |
        placeChannel(p & 0xFF, visual->blue_mask);
  }
  return pixels;
}

}  // namespace

int runX11Preview(std::uint64_t windowId) {
  int code = 0;
  Display* display = openRunDisplay("quorvalent: the preview needs an X display\n", code);
  if (display == nullptr) return code;
  recordXErrors();  // a window or a connection that vanishes ends it quietly
  const Window window = static_cast<Window>(windowId);
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(display, window, &attributes) == 0 || attributes.depth < 24) {
    XCloseDisplay(display);
    return 0;
  }
  XSelectInput(display, window, ExposureMask | StructureNotifyMask);

  std::vector<std::uint32_t> pixels = previewPixels(attributes.visual);
  XImage* image = XCreateImage(display, attributes.visual, static_cast<unsigned>(attributes.depth), ZPixmap,
                               0, reinterpret_cast<char*>(pixels.data()), PREVIEW_WIDTH, PREVIEW_HEIGHT, 32,
                               PREVIEW_WIDTH * 4);
  GC gc = XCreateGC(display, window, 0, nullptr);
  auto paint = [&] {
    XPutImage(display, window, gc, image, 0, 0, 0, 0, PREVIEW_WIDTH, PREVIEW_HEIGHT);
    XFlush(display);
  };
  paint();
  for (bool open = true; open && !stopSignalled();) {
    while (open && XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == Expose && event.xexpose.count == 0) paint();
      if (event.type == DestroyNotify && event.xdestroywindow.window == window) open = false;
    }
    if (open) waitForWake(ConnectionNumber(display), -1);
  }
  XFreeGC(display, gc);
  image->data = nullptr;  // the vector owns the pixels
  XDestroyImage(image);
  XCloseDisplay(display);
  return 0;
}

}  // namespace qv::sdl
