#include "hosts/sdl/shared/stop_signals.h"

#include <atomic>
#include <csignal>

#include "hosts/sdl/shared/wake_pipe.h"

namespace qv::sdl {
namespace {

std::atomic<bool> signalled{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the handler may only touch lock-free atomics");

void onStopSignal(int) {
  signalled.store(true);
  mainThreadWake().notify();
}

}  // namespace

void installStopSignals() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  mainThreadWake();  // made before any handler can need it
  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

bool stopSignalled() { return signalled.load(); }

}  // namespace qv::sdl
