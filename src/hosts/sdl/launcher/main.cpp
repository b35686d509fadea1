// The desktop program: the animation full screen, inside an existing X11
// window for the X screen saver, or the preview picture.

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "hosts/sdl/launcher/command_line.h"
#include "hosts/sdl/launcher/usage_box.h"
#include "hosts/sdl/own_window/own_window_run.h"
#include "hosts/sdl/shared/stop_signals.h"

#if QV_HAVE_X11
#include "hosts/sdl/foreign_window/foreign_window_run.h"
#include "hosts/sdl/launcher/preview_x11.h"
#endif

namespace {

// The animation in the program's own window or, for -root and -window-id,
// in one it did not create; returns the exit code.
int runAnimation(const qv::sdl::LaunchRequest& request) {
  using namespace qv::sdl;
  if (!request.display.empty()) setenv("DISPLAY", request.display.c_str(), 1);
  if (!request.embedded) return runInOwnWindow(request.choices);
#if QV_HAVE_X11
  return runInForeignWindow(request.rootWindow ? 0 : request.windowId, request.choices);
#else
  std::fputs("quorvalent: -root and -window-id need X11\n", stderr);
  return 1;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  using namespace qv::sdl;
  const std::vector<std::string_view> args(argv, argv + argc);
  const LaunchRequest request = parseCommandLine(args, std::getenv("XSCREENSAVER_WINDOW"));
  switch (request.mode) {
    case LaunchMode::Usage: showUsage(); return 0;
    case LaunchMode::Help: std::fwrite(optionList().data(), 1, optionList().size(), stdout); return 0;
    case LaunchMode::BadOption:
      std::fprintf(stderr, "%s\n", request.error.c_str());
      std::fwrite(optionList().data(), 1, optionList().size(), stderr);
      return 1;
    case LaunchMode::ExitSilently: return 0;
    case LaunchMode::Preview:
    case LaunchMode::Run: break;
  }
  // From here on a stop signal lets the run let go of what it holds first,
  // then ends the program by that signal.
  installStopSignals();
  int code = 0;
  if (request.mode == LaunchMode::Run) {
    code = runAnimation(request);
  } else {
#if QV_HAVE_X11
    code = runX11Preview(request.windowId);
#endif  // else: no window system preview to paint into here
  }
  endAsSignalled();
  return code;
}
