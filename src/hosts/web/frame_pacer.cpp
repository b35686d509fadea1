#include "hosts/web/frame_pacer.h"

#include <algorithm>

namespace qv::web {

bool FramePacer::frameDue(double nowMs) {
  if (!started_) {
    started_ = true;
    lastRefresh_ = nowMs;
    due_ = nowMs;
  }
  // The next refresh comes about one interval later: this one is the nearer
  // to the frame's time when that time is less than half an interval away.
  const double interval = std::min(nowMs - lastRefresh_, FRAME_PERIOD_MS);
  lastRefresh_ = nowMs;
  if (nowMs + interval / 2 < due_) return false;
  // Half a period ahead at the least: a frame that came late (a slow frame,
  // a pause) moves the schedule instead of leaving frames owed.
  due_ = std::max(due_ + FRAME_PERIOD_MS, nowMs + FRAME_PERIOD_MS / 2);
  return true;
}

}  // namespace qv::web
