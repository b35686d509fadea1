#include "hosts/sdl/shared/stop_signals.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>

#include "hosts/sdl/shared/wake_pipe.h"

namespace qv::sdl {
namespace {

constexpr int STOP_SIGNALS[] = {SIGTERM, SIGINT, SIGHUP};

std::atomic<int> received{0};  // the first stop signal, 0 before it
static_assert(std::atomic<int>::is_always_lock_free, "the handlers may only touch lock-free atomics");

// Async-signal-safe: the process ends by `signal` as if no handler had been
// installed.
void dieBy(int signal) {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signal, &action, nullptr);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  raise(signal);
}

void onStopSignal(int signal) {
  int expected = 0;
  if (!received.compare_exchange_strong(expected, signal)) {
    dieBy(expected);  // asked twice: at once
    return;
  }
  const int interrupted = errno;  // the interrupted code's, kept
  alarm(STOP_GRACE_SECONDS);
  mainThreadWake().notify();
  errno = interrupted;
}

void onGraceOver(int) { dieBy(received.load()); }

}  // namespace

void installStopSignals() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  mainThreadWake();  // made before any handler can need it
  struct sigaction action {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : STOP_SIGNALS) sigaddset(&action.sa_mask, signal);
  action.sa_flags = SA_RESTART;
  for (int signal : STOP_SIGNALS) {
    // A signal ignored from the start (nohup's SIGHUP, SIGINT in a shell's
    // background job) stays ignored, whenever it comes.
    struct sigaction inherited {};
    sigaction(signal, nullptr, &inherited);
    if (inherited.sa_handler != SIG_IGN) sigaction(signal, &action, nullptr);
  }
  action.sa_handler = onGraceOver;
  sigaction(SIGALRM, &action, nullptr);
}

bool stopSignalled() { return received.load() != 0; }

void endAsSignalled() {
  const int signal = received.load();
  if (signal == 0) return;
  std::fflush(nullptr);
  dieBy(signal);
}

}  // namespace qv::sdl
