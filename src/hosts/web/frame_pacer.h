#pragma once
// The program's 25 frames a second from the browser's refresh callbacks
// (requestAnimationFrame), which come at the display's own rate: 60, 75,
// 144 Hz. Frames are due every 40 ms on a fixed schedule, and each is drawn
// at the refresh nearest its time, so the rate averages 25 whatever the
// display's. A machine too slow for the schedule draws at every refresh, and
// after a pause (a hidden tab gets no refreshes) the schedule starts afresh
// rather than catching up in a burst.

namespace qv::web {

inline constexpr double FRAME_PERIOD_MS = 40.0;

class FramePacer {
 public:
  // A refresh at `nowMs` (a millisecond clock): true when a frame is to be
  // drawn at it.
  bool frameDue(double nowMs);

 private:
  bool started_ = false;
  double lastRefresh_ = 0.0;
  double due_ = 0.0;
};

}  // namespace qv::web
