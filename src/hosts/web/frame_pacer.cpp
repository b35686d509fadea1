#include "hosts/web/frame_pacer.h"

#include <algorithm>

namespace qv::web {

namespace {

// Refreshes further apart than this were paused (a hidden tab gets none).
constexpr double PAUSE_MS = 2 * FRAME_PERIOD_MS;

}  // namespace

bool FramePacer::frameDue(double nowMs) {
  // The first refresh, and the first after a pause, start the schedule.
  if (!started_ || nowMs - lastRefresh_ > PAUSE_MS) {
    started_ = true;
    lastRefresh_ = nowMs;
    due_ = nowMs;
  }
  // The next refresh comes about one interval later: this one is the nearer
  // to the frame's time when that time is less than half an interval away.
  const double interval = nowMs - lastRefresh_;
  lastRefresh_ = nowMs;
  if (nowMs + interval / 2 < due_) return false;
  // Half a period ahead at the least: a frame that came late (a machine
  // too slow for the schedule) moves the schedule instead of leaving frames
  // owed.
  due_ = std::max(due_ + FRAME_PERIOD_MS, nowMs + FRAME_PERIOD_MS / 2);
  return true;
}

}  // namespace qv::web
