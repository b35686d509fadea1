#include "hosts/sdl/fps_figure.h"

#include <gtest/gtest.h>

#include <string>

namespace qv::sdl {
namespace {

TEST(FpsFigure, TheMeterCountsTheFramesOfTheLastWholeSecond) {
  FpsMeter meter;
  for (int i = 0; i < 25; ++i) meter.framePresented(1000 + static_cast<std::uint64_t>(i) * 40);
  EXPECT_EQ(meter.tenths(), 0);  // 960 ms so far
  meter.framePresented(2003);    // 26 frames over 1003 ms
  EXPECT_EQ(meter.tenths(), 259);
  EXPECT_EQ(fpsText(meter.tenths()), "FPS: 25.9");
  EXPECT_EQ(fpsText(249), "FPS: 24.9");
  EXPECT_EQ(fpsText(-5), "FPS: 0.0");
}

}  // namespace
}  // namespace qv::sdl
