#include "hosts/sdl/own_window/own_window_run.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ground/input_state.h"
#include "hosts/sdl/own_window/dark_displays.h"
#include "hosts/sdl/own_window/event_input.h"
#include "hosts/sdl/own_window/sdl_window.h"
#include "hosts/sdl/own_window/sdl_window_surface.h"
#include "hosts/sdl/shared/worker_run.h"

#if QV_HAVE_X11
#include <SDL_syswm.h>

#include "hosts/sdl/shared/x11_display_opening.h"
#include "hosts/sdl/shared/x11_errors.h"
#endif

namespace qv::sdl {
namespace {

constexpr const char* NO_DISPLAY = "quorvalent: cannot open display\n";

bool environmentNames(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

// Where a display server must be named in the environment: without one, or
// with an X display alone, SDL would probe further drivers and print their
// complaints before it gives up.
bool noDisplayNamed() {
#if defined(__linux__)
  if (!environmentNames("WAYLAND_DISPLAY") && !environmentNames("SDL_VIDEODRIVER")) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  }
  return !environmentNames("DISPLAY") && !environmentNames("WAYLAND_DISPLAY");
#else
  return false;
#endif
}

// An X display that accepts the connection but never answers would hold
// SDL's start for ever: where SDL will use X, the display is tried first,
// for a limited time (one that does not answer ends the program). False
// when a stop signal came first.
bool x11DisplayAnswers() {
#if QV_HAVE_X11
  if (!environmentNames("DISPLAY") || environmentNames("WAYLAND_DISPLAY")) return true;
  const OpenedDisplay opened = openDisplayWithin(DISPLAY_ANSWER_LIMIT);
  if (opened.display != nullptr) XCloseDisplay(opened.display);
  if (opened.answer == DisplayAnswer::Silent) endForSilentDisplay();
  return opened.answer != DisplayAnswer::Stopped;
#else
  return true;
#endif
}

// SDL falls back to drivers that show nothing when no display answers; the
// program would then animate unseen.
bool showsNothing(const char* driver) {
  return driver == nullptr || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
}

bool onX11() {
#if QV_HAVE_X11
  return std::strcmp(SDL_GetCurrentVideoDriver(), "x11") == 0;
#else
  return false;
#endif
}

// On X11: the window's own errors end the run, and its events' connection
// is returned, to be waited on; -1 elsewhere.
int watchX11Window(SDL_Window* window) {
#if QV_HAVE_X11
  if (!onX11()) return -1;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE) return -1;
  watchWindow(info.info.x11.window);
  return ConnectionNumber(info.info.x11.display);
#else
  static_cast<void>(window);
  return -1;
#endif
}

// SDL's events: a dark display's first, then the window's own and the input;
// false once the window has closed.
bool takeSdlEvents(SdlWindowSurface& surface, SdlPlatform& platform, InputState& input, DarkDisplays& dark) {
  SDL_Event e;
  while (SDL_PollEvent(&e) != 0) {
    if (dark.takeEvent(e)) continue;  // displays came or went, or a dark window's own paint
    if (e.type == SDL_QUIT) return false;
    if (e.type != SDL_WINDOWEVENT) {
      recordInputEvent(e, input);
    } else if (e.window.event == SDL_WINDOWEVENT_EXPOSED) {
      surface.repaint();
    } else if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
      surface.follow(e.window.data1, e.window.data2);
      platform.setScreenSize(e.window.data1, e.window.data2);
    } else if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
      return false;
    }
  }
  return true;
}

}  // namespace

int runInOwnWindow(const SceneChoices& choices, std::span<const EmbeddedResource> resources) {
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (noDisplayNamed()) {
    std::fputs(NO_DISPLAY, stderr);
    return 1;
  }
  if (!x11DisplayAnswers()) return 0;  // a stop signal, which ends the program
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0 || showsNothing(SDL_GetCurrentVideoDriver())) {
    std::fputs(NO_DISPLAY, stderr);
    SDL_Quit();
    return 1;
  }
#if QV_HAVE_X11
  // Before the window is made: it may be closed as soon as it appears, and
  // SDL's calls still setting it up then fail.
  if (onX11()) recordXErrors();
#endif
  const AnimationWindow target = openAnimationWindow();
  if (target.window == nullptr) {
    SDL_Quit();
    return 1;
  }
  const int connection = watchX11Window(target.window);
  RunEnd end = RunEnd::Ended;
  {
    DarkDisplays darkDisplays(target.window);  // on the other displays
    darkDisplays.follow();
    SdlWindowSurface surface(target.window, choices.showFps);
    SdlPlatform platform(&surface, target.window, resources);
    platform.setScreenSize(target.screenWidth, target.screenHeight);
    InputState input;
    // Before the worker starts: the cursor's first change reads the X
    // resources under Xlib's global lock, and a fatal error's box forks a
    // process that needs that lock (a lock held by another thread at the
    // fork stays held in the child for ever).
    SDL_ShowCursor(SDL_DISABLE);
    const RunWindow window{
        .eventSource = connection,
        .takeEvents = [&] { return takeSdlEvents(surface, platform, input, darkDisplays); },
        .leave =
            [&](bool hide) {
              if (hide) SDL_HideWindow(target.window);
              darkDisplays.closeAll();
            }};
    end = runWorker(window, platform, input, surface, choices);
  }
  // Without its window, SDL's clean-up would meet the failures of the calls
  // still under way on it after putting Xlib's fatal error handler back: the
  // process ends without it.
  if (end == RunEnd::WindowGone) return 0;
  SDL_DestroyWindow(target.window);
  SDL_Quit();
  return 0;
}

}  // namespace qv::sdl
