#include "hosts/sdl/foreign_window/foreign_window_run.h"

#include <SDL.h>
#include <X11/Xlib.h>

#include <cstdio>

#include "ground/input_state.h"
#include "hosts/sdl/foreign_window/x11_window_surface.h"
#include "hosts/sdl/shared/worker_run.h"
#include "hosts/sdl/shared/x11_display_opening.h"
#include "hosts/sdl/shared/x11_errors.h"

namespace qv::sdl {
namespace {

// The window's own events: its size, its exposes and its end (its input
// stays its owner's); false once it is destroyed.
bool takeXEvents(Display* display, Window window, X11WindowSurface& surface, SdlPlatform& platform) {
  // Events that Xlib has already read (while showing a frame) are not seen
  // by poll.
  while (XPending(display) > 0) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == ConfigureNotify && event.xconfigure.window == window) {
      surface.follow(event.xconfigure.width, event.xconfigure.height);
      platform.setScreenSize(event.xconfigure.width, event.xconfigure.height);
    } else if (event.type == Expose && event.xexpose.count == 0) {
      surface.repaint();
    } else if (event.type == DestroyNotify && event.xdestroywindow.window == window) {
      return false;
    }
  }
  return true;
}

// Whether the window can be drawn into, with SDL's timers started; one line
// on standard error when not.
bool readyToDraw(Display* display, Window window, XWindowAttributes& attributes) {
  if (XGetWindowAttributes(display, window, &attributes) == 0) {
    std::fprintf(stderr, "quorvalent: no window 0x%lx\n", static_cast<unsigned long>(window));
    return false;
  }
  if (!X11WindowSurface::supportsVisual(attributes)) {
    std::fprintf(stderr, "quorvalent: cannot draw into window 0x%lx: it is not 24-bit true colour\n",
                 static_cast<unsigned long>(window));
    return false;
  }
  if (SDL_Init(SDL_INIT_TIMER) != 0) {
    std::fprintf(stderr, "quorvalent: %s\n", SDL_GetError());
    return false;
  }
  return true;
}

}  // namespace

int runInForeignWindow(std::uint64_t windowId, const SceneChoices& choices,
                       std::span<const EmbeddedResource> resources) {
  int code = 0;
  Display* display = openRunDisplay("quorvalent: cannot open display\n", code);
  if (display == nullptr) return code;
  recordXErrors();
  const Window window = windowId == 0 ? DefaultRootWindow(display) : static_cast<Window>(windowId);
  XWindowAttributes attributes{};
  if (!readyToDraw(display, window, attributes)) {
    XCloseDisplay(display);
    return 1;
  }
  // The program only watches the window's size and life.
  XSelectInput(display, window, StructureNotifyMask | ExposureMask);
  // The window's keys and mouse are its owner's: no legend offers them.
  SceneChoices drawn = choices;
  drawn.scene.legend = false;
  {
    X11WindowSurface surface(display, window, attributes, choices.showFps);
    SdlPlatform platform(&surface, nullptr, resources);
    platform.setScreenSize(attributes.width, attributes.height);
    InputState input;  // nothing records into it
    const RunWindow foreign{.eventSource = ConnectionNumber(display),
                            .takeEvents = [&] { return takeXEvents(display, window, surface, platform); }};
    runWorker(foreign, platform, input, surface, drawn);
  }
  XCloseDisplay(display);
  SDL_Quit();
  return 0;
}

}  // namespace qv::sdl
