#include "hosts/sdl/foreign_window_run.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <poll.h>

#include <cstdio>
#include <memory>

#include "ground/runtime_error.h"
#include "hosts/sdl/animation_worker.h"
#include "hosts/sdl/stop_signals.h"
#include "hosts/sdl/x11_errors.h"
#include "hosts/sdl/x11_window_surface.h"

namespace qv::sdl {
namespace {

// Handles the window's own events; false once the window is gone.
bool handleEvent(const XEvent& event, Window window, X11WindowSurface& surface, SdlPlatform& platform) {
  switch (event.type) {
    case ConfigureNotify:
      if (event.xconfigure.window == window) {
        surface.follow(event.xconfigure.width, event.xconfigure.height);
        platform.setScreenSize(event.xconfigure.width, event.xconfigure.height);
      }
      return true;
    case Expose:
      if (event.xexpose.count == 0) surface.repaint();
      return true;
    case DestroyNotify: return event.xdestroywindow.window != window;
    default: return true;
  }
}

// The main thread until the animation ends, a stop signal arrives or the
// window goes: shows the frames the worker announces and follows the window.
void followWindow(Display* display, Window window, X11WindowSurface& surface, SdlPlatform& platform,
                  const AnimationWorker& worker, const WakePipe& wake) {
  pollfd sources[3] = {
      {ConnectionNumber(display), POLLIN, 0}, {wake.fd(), POLLIN, 0}, {stopSignalFd(), POLLIN, 0}};
  for (;;) {
    // Events that Xlib has already read (while showing a frame) are not
    // seen by poll.
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (!handleEvent(event, window, surface, platform)) return;
    }
    if (takeWindowGoneError() || stopSignalled() || worker.done()) return;
    if (poll(sources, 3, -1) < 0) continue;  // a signal; looked at above
    if ((sources[1].revents & POLLIN) != 0) {
      wake.drain();
      surface.showPendingFrame();
    }
  }
}

}  // namespace

int runInForeignWindow(const LaunchRequest& request, std::span<const EmbeddedResource> resources) {
  Display* display = XOpenDisplay(request.display.empty() ? nullptr : request.display.c_str());
  if (display == nullptr) {
    std::fputs("quorvalent: cannot open display\n", stderr);
    return 1;
  }
  recordXErrors();
  const Window window =
      request.rootWindow ? DefaultRootWindow(display) : static_cast<Window>(request.windowId);
  XWindowAttributes attributes{};
  if (XGetWindowAttributes(display, window, &attributes) == 0) {
    std::fprintf(stderr, "quorvalent: no window 0x%lx\n", static_cast<unsigned long>(window));
    XCloseDisplay(display);
    return 1;
  }
  if (!X11WindowSurface::supportsVisual(attributes)) {
    std::fprintf(stderr, "quorvalent: cannot draw into window 0x%lx: it is not 24-bit true colour\n",
                 static_cast<unsigned long>(window));
    XCloseDisplay(display);
    return 1;
  }
  // The window's input stays its owner's; the program only watches its size
  // and life.
  XSelectInput(display, window, StructureNotifyMask | ExposureMask);
  if (SDL_Init(SDL_INIT_TIMER) != 0) {
    std::fprintf(stderr, "quorvalent: %s\n", SDL_GetError());
    XCloseDisplay(display);
    return 1;
  }
  {
    WakePipe wake;
    X11WindowSurface surface(display, window, attributes, wake, request.choices.showFps);
    SdlPlatform platform(&surface, nullptr, resources);
    platform.setScreenSize(attributes.width, attributes.height);
    int unused = 0;
    platform.takeResize(unused, unused);  // the first size is no resize
    InputState input;                     // nothing records into it
    std::unique_ptr<AnimationWorker> worker;
    try {
      worker = std::make_unique<AnimationWorker>(platform, input, request.choices, surface);
    } catch (const RuntimeErrorStop&) {
      // The box has been shown; the program ends.
    }
    if (worker) {
      worker->start([&wake] { wake.notify(); });
      followWindow(display, window, surface, platform, *worker, wake);
      worker->requestStop();
      worker->finish();
      worker.reset();
    }
  }
  XCloseDisplay(display);
  SDL_Quit();
  return 0;
}

}  // namespace qv::sdl
