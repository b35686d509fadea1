#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <thread>
#include <tuple>
#include <vector>

#include "ground/input_state.h"
#include "scene/animation.h"
#include "scene/animation_modules.h"
#include "support/test_platform.h"

namespace qv {
namespace {

// A small animation: a scripted platform with a tiny screen, no overlays and
// a clock that stands still while a frame works, unless told otherwise.
struct SceneRig : FrameStepObserver {
  explicit SceneRig(std::uint32_t seed = 1, bool seedGiven = true, std::int32_t brushKind = ADDING_DISC_BRUSH_KIND) {
    platform.screenW = 96;
    platform.screenH = 64;
    platform.ticks = 123456700;  // 1234567 ms, the seed of a run without one
    SceneOptions options;
    options.seedGiven = seedGiven;
    options.seed = seed;
    options.overlays = false;
    options.brushKind = brushKind;
    animation.setupScene(options);
    scene().observer = this;
  }
  void atFrameStep(FrameStepPoint point) override {
    if (point == FrameStepPoint::UpdateDone) platform.ticks += workTicks;
  }
  AnimationModules& m() { return animation.modules(); }
  Scene& scene() { return m().scene; }
  bool step() { return animation.frameStep(); }
  void steps(int n) {
    while (n-- > 0) step();
  }

  testing::TestPlatform platform;
  InputState input;
  Animation animation{platform, input};
  std::uint64_t workTicks = 0;
};

TEST(FrameStep, EscapeAndEnterActOnTheirReleaseOnly) {
  SceneRig rig;
  const auto colours = [&] {
    std::array<std::uint32_t, 3> c{};
    for (std::size_t i = 0; i < 3; ++i) c[i] = rig.m().brushes.at(static_cast<int>(i))->colour;
    return c;
  };
  rig.input.recordKeyDown(VKEY_ENTER);
  rig.input.recordKeyDown(VKEY_ESCAPE);
  EXPECT_TRUE(rig.step());
  EXPECT_EQ(colours(), BRUSH_COLOUR_SETS[0]);
  rig.input.recordKeyUp(VKEY_ENTER);
  EXPECT_TRUE(rig.step());
  EXPECT_EQ(colours(), BRUSH_COLOUR_SETS[1]);
  EXPECT_EQ(rig.m().brushes.at(0)->kind, SCENE_BRUSH_KIND);  // only the colours change
  rig.step();
  EXPECT_EQ(colours(), BRUSH_COLOUR_SETS[1]);  // the release acts once
  rig.input.recordKeyUp(VKEY_ENTER);
  rig.step();
  EXPECT_EQ(colours(), BRUSH_COLOUR_SETS[0]);
  rig.input.recordKeyUp(VKEY_ESCAPE);
  EXPECT_FALSE(rig.step());
}

TEST(FrameStep, ArrowsWheelAndMouseMoveAndSpinTheCloud) {
  SceneRig rig;
  Transform& cloud = *rig.m().transforms.at(CLOUD_TRANSFORM);
  // Each step is tested against the limit before it is taken; the wheel
  // toward the user (-120) moves the cloud farther; up and down cancel.
  const std::tuple<int, int, int, double, double> cases[] = {
      {1, 0, 0, -348.0, -355.5},    {1, 0, 0, -355.5, -355.5},   {0, 1, 0, -355.5, -348.0},
      {0, 0, -120, -348.0, -340.5}, {0, 0, 120, -340.5, -348.0}, {1, 1, 0, -348.0, -348.0},
      {0, 1, 0, 349.0, 356.5},      {0, 1, 0, 356.5, 356.5}};
  for (auto [up, down, wheel, from, to] : cases) {
    cloud.position.z = from;
    if (up != 0) rig.input.recordKeyDown(VKEY_UP);
    if (down != 0) rig.input.recordKeyDown(VKEY_DOWN);
    if (wheel != 0) rig.input.recordWheel(wheelValueFromDelta(wheel));
    rig.step();
    EXPECT_EQ(cloud.position.z, to) << from << " " << wheel;
  }

  // The mouse starts at 0; dx is the old x minus the new one. A frame
  // without a move (-1) keeps dx but does not act on it; an arrow comes last.
  const std::tuple<int, int, int> moves[] = {{100, 0, 1}, {98, 0, 1},         {95, 0, -1},
                                             {97, 0, -1}, {100, 0, 1},        {-1, VKEY_LEFT, -1},
                                             {-1, 0, -1}, {90, VKEY_RIGHT, 1}};
  for (auto [mouseX, key, spin] : moves) {
    if (mouseX >= 0) rig.input.recordMouseMove(mouseX, 0);
    if (key != 0) rig.input.recordKeyDown(key);
    rig.step();
    EXPECT_EQ(cloud.spinSteps, (std::array<std::int32_t, 3>{0, spin, 0})) << mouseX << " " << key;
  }
}

TEST(FrameStep, FramesArePacedTo40MsAndASlowStartSwitchesToHalfResolution) {
  SceneRig fast;
  fast.steps(12);
  EXPECT_EQ(std::tuple(fast.m().clock.framesPerSecond(), fast.m().frame.halfResRequested),
            std::tuple(TICKS_PER_SECOND, 0));
  EXPECT_EQ(fast.platform.sleeps, std::vector<std::uint32_t>(12, 40));

  // Ten frames a second from the start, or as if 240 or 241 frames had
  // passed: only the first 250 frames of a run count.
  for (const int before : {0, 240, 241}) {
    SceneRig slow;
    slow.workTicks = 10000;
    slow.scene().startupFrames = before;
    slow.steps(9);
    EXPECT_EQ(slow.m().frame.halfResRequested, 0);  // not before the meter's window is full
    slow.step();
    EXPECT_EQ(
        std::tuple(slow.m().frame.halfResRequested, slow.scene().startupFrames, slow.platform.sleeps.size()),
        std::tuple(before <= 240 ? 1 : 0, std::min(before + 10, 250), 0u))
        << before;
    slow.workTicks = 0;
    slow.steps(11);
    EXPECT_EQ(slow.m().frame.halfResRequested, before <= 240 ? 1 : 0);  // never undone
  }
}

// Left to the program, the frames are drawn by one thread until most of a
// run of them take more than 20 ms of work; then by a thread a core.
TEST(FrameStep, SlowFramesOnOneThreadBringInTheMachinesCores) {
  SceneRig rig;
  rig.workTicks = ROOMY_FRAME_TICKS;
  rig.steps(30);
  EXPECT_EQ(rig.m().composer.drawingThreads(), 1);
  rig.workTicks = ROOMY_FRAME_TICKS + 1;
  rig.steps(2 * THREAD_CHOICE_FRAMES);
  const int cores = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 64u));
  EXPECT_EQ(rig.m().composer.drawingThreads(), cores);
  rig.animation.setDrawingThreads(1);  // a host's own number wins
  EXPECT_EQ(rig.m().composer.drawingThreads(), 1);
}

// What the golden frames cannot see: a run without a seed takes the clock's
// milliseconds (the set-up's first draws fill the noise table), and the
// legend's timer is started for its ten seconds.
TEST(SceneSetup, WithoutASeedTheClockSeedsTheSceneAndTheLegendTimerStarts) {
  SceneRig rig(0, false);
  RandomSource probe(1234567);
  PeriodicTable replay(rig.platform, probe);
  replay.resizeTable(25, 25.0);
  replay.refillTable();
  for (int i = 0; i <= 25; ++i) EXPECT_EQ(rig.m().periodicTable.values[i], replay.values[i]) << i;
  EXPECT_EQ(rig.platform.runningTimers, (std::map<int, std::uint32_t>{{LEGEND_TIMER, LEGEND_MILLISECONDS}}));
}

// The scene's three brushes are copies of brush 0 in three colours. A copy
// takes no images, so a brush drawn from images builds its own, tinted in
// its own colour; without them two of the three systems would draw nothing.
TEST(SceneSetup, EveryBrushOfAnImageKindHasImagesOfItsOwnColour) {
  for (const std::int32_t kind : {BALL_BRUSH_KIND, ADDING_SPOT_BRUSH_KIND}) {
    SceneRig rig(1, true, kind);
    const BrushTable& brushes = rig.m().brushes;
    for (int i = 0; i < 3; ++i) {
      const Brush& b = *brushes.at(i);
      ASSERT_TRUE(b.hasImages()) << "kind " << kind << " brush " << i;
      EXPECT_EQ(b.kind, kind);
      if (i == 0) continue;
      const Brush& first = *brushes.at(0);
      EXPECT_NE(b.colour, first.colour);
      ASSERT_EQ(b.quadrantImages[0].size(), first.quadrantImages[0].size());
      EXPECT_FALSE(std::equal(b.quadrantImages[0].begin(), b.quadrantImages[0].end(), first.quadrantImages[0].begin()))
          << "kind " << kind << " brush " << i << ": images not tinted in its colour";
    }
  }
}

// The wobble tables stand in for the noise curve, so they must give its
// offsets bit for bit (a -0.0 or a last-bit rounding must not slip through)
// for every countdown they hold; past them the curve is worked directly.
TEST(SceneSetup, WobbleTablesMatchTheNoiseCurveBitForBit) {
  const auto sameBits = [](double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; };
  for (std::uint32_t seed : {1u, 77u}) {
    SceneRig rig(seed);
    const PeriodicTable& noise = rig.m().periodicTable;
    for (bool trail : {false, true}) {
      const double pace = trail ? 2 : 1.5, scale = trail ? 4 : 10;
      for (std::int32_t d = -40; d <= SLOW_FOUNTAIN_LIFE + 700; ++d) {
        const Scene::WobbleOffset got = rig.scene().wobbleOffset(trail, d);
        ASSERT_TRUE(sameBits(got.dy, noise.sampleTable(-pace * d, 1) * scale - scale / 2) &&
                    sameBits(got.dx, noise.sampleTable(347 - pace * d, 1) * scale - scale / 2))
            << "seed " << seed << " trail " << trail << " d " << d;
      }
    }
  }
}

}  // namespace
}  // namespace qv
