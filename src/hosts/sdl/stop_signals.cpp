#include "hosts/sdl/stop_signals.h"

#include <atomic>
#include <csignal>

#include "hosts/sdl/wake_pipe.h"

namespace qv::sdl {
namespace {

std::atomic<bool> signalled{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the handler may only touch lock-free atomics");

WakePipe& stopPipe() {
  static WakePipe pipe;
  return pipe;
}

void onStopSignal(int) {
  signalled.store(true);
  stopPipe().notify();
}

}  // namespace

void installStopSignals() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  stopPipe();  // made before any handler can need it
  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

bool stopSignalled() { return signalled.load(); }

int stopSignalFd() { return stopPipe().fd(); }

}  // namespace qv::sdl
