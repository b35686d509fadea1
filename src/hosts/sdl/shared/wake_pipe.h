#pragma once
// A pipe that wakes a thread waiting in poll(): notify() may be called from
// any thread and from a signal handler (it only writes one byte).
//
// The main thread has one: a frame waiting to be shown, the worker's end and
// the stop signals all notify it, and the run waits for it beside its
// window's events.

namespace qv::sdl {

class WakePipe {
 public:
  WakePipe();
  ~WakePipe();
  WakePipe(const WakePipe&) = delete;
  WakePipe& operator=(const WakePipe&) = delete;

  bool valid() const { return readEnd_ >= 0; }
  int fd() const { return readEnd_; }  // readable after a notify
  void notify() const;
  void drain() const;  // reads every waiting byte

 private:
  int readEnd_ = -1;
  int writeEnd_ = -1;
};

const WakePipe& mainThreadWake();

// Waits at most `limitMs` (-1: for ever) for the main thread's wake or for
// `eventSource` (-1: none) to be readable; true when the wake came, which
// this takes.
bool waitForWake(int eventSource, int limitMs);

}  // namespace qv::sdl
