#include "hosts/sdl/shared/x11_errors.h"

#include <atomic>
#include <cstdlib>

#include "hosts/sdl/shared/stop_signals.h"

namespace qv::sdl {
namespace {

std::atomic<bool> windowGone{false};
std::atomic<int> errorCount{0};
std::atomic<unsigned long> watchedWindow{0};

int noteXError(Display*, XErrorEvent* error) {
  errorCount.fetch_add(1);
  const unsigned long watched = watchedWindow.load();
  if ((error->error_code == BadWindow || error->error_code == BadDrawable) &&
      (watched == 0 || error->resourceid == watched)) {
    windowGone.store(true);
  }
  return 0;
}

// The server dropped the connection (the client killed with a tool, the
// server gone): nothing is left to release or to show. Xlib ends the process
// when this returns, so it ends it itself: by the stop signal that came, else
// quietly with 0.
int endOnLostConnection(Display*) {
  endAsSignalled();
  std::_Exit(0);
}

}  // namespace

void recordXErrors() {
  XSetErrorHandler(noteXError);
  XSetIOErrorHandler(endOnLostConnection);
}

void watchWindow(unsigned long window) { watchedWindow.store(window); }

bool takeWindowGoneError() { return windowGone.exchange(false); }

int xErrorCount() { return errorCount.load(); }

}  // namespace qv::sdl
