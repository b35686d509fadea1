#include "composition/automatic_threads.h"

namespace qv {

void AutomaticThreads::noteFrame(int width, int height, std::int64_t workTicks) {
  if (width != width_ || height != height_) {
    width_ = width;
    height_ = height;
    threads_ = 1;
    frames_ = 0;
    slowFrames_ = 0;
    // The frame that met the new size set it up (buffers made, first
    // touched): it says nothing of the frames to come.
    return;
  }
  if (threads_ != 1) return;
  frames_ += 1;
  if (workTicks > ROOMY_FRAME_TICKS) slowFrames_ += 1;
  if (frames_ < THREAD_CHOICE_FRAMES) return;
  if (slowFrames_ >= THREAD_CHOICE_SLOW_FRAMES) threads_ = cores_;
  frames_ = 0;
  slowFrames_ = 0;
}

}  // namespace qv
