// 25 frames a second from the display's refreshes, whatever their rate.
#include <gtest/gtest.h>

#include <vector>

#include "hosts/web/frame_pacer.h"

namespace qv::web {
namespace {

// The times of the frames drawn at refreshes every `intervalMs` from
// `fromMs` to `toMs`.
std::vector<double> framesAt(FramePacer& pacer, double intervalMs, double fromMs, double toMs) {
  std::vector<double> frames;
  for (double t = fromMs; t < toMs; t += intervalMs) {
    if (pacer.frameDue(t)) frames.push_back(t);
  }
  return frames;
}

TEST(FramePacer, TwentyFiveFramesASecondAtAnyRefreshRate) {
  for (const double hz : {30.0, 50.0, 59.94, 60.0, 75.0, 120.0, 144.0, 240.0}) {
    FramePacer pacer;
    const std::vector<double> frames = framesAt(pacer, 1000.0 / hz, 1000.0, 11000.0);
    EXPECT_NEAR(static_cast<double>(frames.size()), 250.0, 1.0) << hz << " Hz";
    // No frame comes later than a refresh after its time.
    for (std::size_t i = 0; i < frames.size(); ++i) {
      EXPECT_LE(frames[i], 1000.0 + 40.0 * static_cast<double>(i) + 1000.0 / hz) << hz << " Hz, frame " << i;
    }
  }
}

TEST(FramePacer, AtFiftyHertzEveryOtherRefresh) {
  FramePacer pacer;
  const std::vector<double> frames = framesAt(pacer, 20.0, 0.0, 2000.0);
  ASSERT_EQ(frames.size(), 50u);
  for (std::size_t i = 1; i < frames.size(); ++i) EXPECT_DOUBLE_EQ(frames[i] - frames[i - 1], 40.0);
}

// A hidden tab gets no refreshes: when they come back the schedule starts
// afresh, with no burst of the frames it missed.
TEST(FramePacer, AfterAPauseNoBurst) {
  FramePacer pacer;
  framesAt(pacer, 1000.0 / 60, 0.0, 1000.0);
  const std::vector<double> after = framesAt(pacer, 1000.0 / 60, 6000.0, 7000.0);
  EXPECT_NEAR(static_cast<double>(after.size()), 25.0, 1.0);
  ASSERT_GE(after.size(), 2u);
  EXPECT_GE(after[1] - after[0], 30.0);
}

// A machine slower than the schedule draws at every refresh it gets, and
// owes no frames once it keeps up again.
TEST(FramePacer, ASlowMachineDrawsAtEveryRefreshAndOwesNothing) {
  FramePacer pacer;
  EXPECT_EQ(framesAt(pacer, 70.0, 0.0, 7000.0).size(), 100u);
  EXPECT_NEAR(static_cast<double>(framesAt(pacer, 1000.0 / 60, 7000.0, 8000.0).size()), 25.0, 1.0);
}

}  // namespace
}  // namespace qv::web
