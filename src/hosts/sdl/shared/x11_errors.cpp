#include "hosts/sdl/shared/x11_errors.h"

#include <atomic>

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

}  // namespace

void recordXErrors() { XSetErrorHandler(noteXError); }

void watchWindow(unsigned long window) { watchedWindow.store(window); }

bool takeWindowGoneError() { return windowGone.exchange(false); }

int xErrorCount() { return errorCount.load(); }

}  // namespace qv::sdl
