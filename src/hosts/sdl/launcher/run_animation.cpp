#include "hosts/sdl/launcher/run_animation.h"

#include <cstdio>
#include <cstdlib>

#include "hosts/sdl/own_window/own_window_run.h"
#include "hosts/sdl/shared/stop_signals.h"

#if QV_HAVE_X11
#include "hosts/sdl/foreign_window/foreign_window_run.h"
#endif

namespace qv::sdl {

int runAnimation(const LaunchRequest& request, std::span<const EmbeddedResource> resources) {
  installStopSignals();
  if (!request.display.empty()) setenv("DISPLAY", request.display.c_str(), 1);
  if (request.embedded) {
#if QV_HAVE_X11
    return runInForeignWindow(request.rootWindow ? 0 : request.windowId, request.choices, resources);
#else
    std::fputs("quorvalent: -root and -window-id need X11\n", stderr);
    return 1;
#endif
  }
  return runInOwnWindow(request.choices, resources);
}

}  // namespace qv::sdl
