#pragma once
// How many threads draw when the host leaves the choice to the program: one
// while one thread's frames fit their 40 ms with room, the machine's cores
// once most frames of a run of them took more than half of it. A screen saver
// thus burns a second core only where one is not enough. The choice holds
// until the frame changes size, when one thread is tried again; the frame is
// the same whichever is chosen.

#include <cstdint>

namespace qv {

// A frame whose work (update, composition, present) takes longer than this
// many clock ticks (20 ms) leaves too little room on one thread.
inline constexpr std::int64_t ROOMY_FRAME_TICKS = 2000;
// The run of one-thread frames judged together, and how many of them must
// be slow: a majority, so that a frame delayed by another program now and
// then does not decide.
inline constexpr int THREAD_CHOICE_FRAMES = 10;
inline constexpr int THREAD_CHOICE_SLOW_FRAMES = 6;

class AutomaticThreads {
 public:
  explicit AutomaticThreads(int cores) : cores_(cores) {}

  // The work of a frame of width x height, in clock ticks.
  void noteFrame(int width, int height, std::int64_t workTicks);
  // 1, or the machine's cores.
  int threads() const { return threads_; }

 private:
  int cores_;
  int threads_ = 1;
  int width_ = 0;
  int height_ = 0;
  int frames_ = 0;      // of the run being judged
  int slowFrames_ = 0;  // of those
};

}  // namespace qv
