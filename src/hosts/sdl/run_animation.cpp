#include "hosts/sdl/run_animation.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "ground/runtime_error.h"
#include "hosts/sdl/animation_worker.h"
#include "hosts/sdl/dark_displays.h"
#include "hosts/sdl/event_input.h"
#include "hosts/sdl/sdl_window.h"
#include "hosts/sdl/sdl_window_surface.h"
#include "hosts/sdl/stop_signals.h"

#if QV_HAVE_X11
#include <SDL_syswm.h>

#include "hosts/sdl/foreign_window_run.h"
#include "hosts/sdl/x11_errors.h"
#endif

namespace qv::sdl {
namespace {

// How often the event loop looks for a stop signal when no event comes.
constexpr int SIGNAL_POLL_MS = 50;

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

// SDL falls back to drivers that show nothing when no display answers; the
// program would then animate unseen.
bool showsNothing(const char* driver) {
  return driver == nullptr || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
}

// Whether the window is gone under the program (another client destroyed it).
bool windowGone() {
#if QV_HAVE_X11
  return takeWindowGoneError();
#else
  return false;
#endif
}

enum class LoopEnd { Closed, WindowGone };

// The main thread's loop until the window closes, the animation ends, a stop
// signal arrives or the window is destroyed under the program.
LoopEnd runEventLoop(SdlWindowSurface& surface, SdlPlatform& platform, InputState& input,
                     DarkDisplays& darkDisplays, Uint32 frameEvent, Uint32 workerEndEvent) {
  SDL_Event e;
  for (;;) {
    if (windowGone()) return LoopEnd::WindowGone;
    if (stopSignalled()) return LoopEnd::Closed;
    if (SDL_WaitEventTimeout(&e, SIGNAL_POLL_MS) == 0) continue;
    if (darkDisplays.takeEvent(e)) continue;  // displays came or went, or a dark window's own paint
    if (e.type == frameEvent) {
      surface.showPendingFrame();
    } else if (e.type == workerEndEvent || e.type == SDL_QUIT) {
      return LoopEnd::Closed;
    } else if (e.type == SDL_WINDOWEVENT) {
      switch (e.window.event) {
        case SDL_WINDOWEVENT_EXPOSED: surface.repaint(); break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          surface.follow(e.window.data1, e.window.data2);
          platform.setScreenSize(e.window.data1, e.window.data2);
          break;
        case SDL_WINDOWEVENT_CLOSE: return LoopEnd::Closed;
        default: break;
      }
    } else {
      recordInputEvent(e, input);
    }
  }
}

int runInOwnWindow(const LaunchRequest& request, std::span<const EmbeddedResource> resources) {
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (noDisplayNamed() || SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0 ||
      showsNothing(SDL_GetCurrentVideoDriver())) {
    std::fputs(NO_DISPLAY, stderr);
    SDL_Quit();
    return 1;
  }
  const AnimationWindow target = openAnimationWindow();
  if (target.window == nullptr) {
    SDL_Quit();
    return 1;
  }
#if QV_HAVE_X11
  if (std::strcmp(SDL_GetCurrentVideoDriver(), "x11") == 0) {
    recordXErrors();
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(target.window, &info) == SDL_TRUE) watchWindow(info.info.x11.window);
  }
#endif
  // Dark windows on the other displays.
  DarkDisplays darkDisplays(target.window);
  darkDisplays.follow();
  const Uint32 frameEvent = SDL_RegisterEvents(2);
  const Uint32 workerEndEvent = frameEvent + 1;

  SdlWindowSurface surface(target.window, frameEvent, request.choices.showFps);
  SdlPlatform platform(&surface, target.window, resources);
  platform.setScreenSize(target.screenWidth, target.screenHeight);
  int unused = 0;
  platform.takeResize(unused, unused);  // the first size is no resize
  InputState input;
  LoopEnd end = LoopEnd::Closed;
  {
    std::unique_ptr<AnimationWorker> worker;
    try {
      worker = std::make_unique<AnimationWorker>(platform, input, request.choices, surface);
    } catch (const RuntimeErrorStop&) {
      // The box has been shown; the program ends.
    }
    if (worker) {
      worker->start([workerEndEvent] {
        SDL_Event e{};
        e.type = workerEndEvent;
        SDL_PushEvent(&e);
      });
      SDL_ShowCursor(SDL_DISABLE);
      end = runEventLoop(surface, platform, input, darkDisplays, frameEvent, workerEndEvent);
      // A close while the animation runs: it goes at once from the screen,
      // and the worker ends at its next frame boundary.
      worker->requestStop();
      if (!worker->done() && end != LoopEnd::WindowGone) SDL_HideWindow(target.window);
      darkDisplays.closeAll();
      worker->finish();
    }
  }
  // Without its window, SDL's clean-up would meet the failures of the calls
  // still under way on it after putting Xlib's fatal error handler back: the
  // process ends without it.
  if (end == LoopEnd::WindowGone) return 0;
  SDL_DestroyWindow(target.window);
  SDL_Quit();
  return 0;
}

}  // namespace

int runAnimation(const LaunchRequest& request, std::span<const EmbeddedResource> resources) {
  installStopSignals();
  if (!request.display.empty()) setenv("DISPLAY", request.display.c_str(), 1);
  if (request.embedded) {
#if QV_HAVE_X11
    return runInForeignWindow(request, resources);
#else
    std::fputs("quorvalent: -root and -window-id need X11\n", stderr);
    return 1;
#endif
  }
  return runInOwnWindow(request, resources);
}

}  // namespace qv::sdl
