#include <gtest/gtest.h>

#include "scene/scene_test_rig.h"

namespace qv {
namespace {

using testing::SceneRig;

TEST(FrameStep, EscapeEndsTheAnimationOnItsReleaseOnly) {
  SceneRig rig;
  rig.input.recordKeyDown(VKEY_ESCAPE);
  EXPECT_TRUE(rig.step());
  rig.input.recordKeyDown(VKEY_ESCAPE);  // held: auto-repeat
  EXPECT_TRUE(rig.step());
  rig.input.recordKeyUp(VKEY_ESCAPE);
  EXPECT_FALSE(rig.step());
}

TEST(FrameStep, EnterSwapsTheBrushColoursAndASecondEnterRestoresThem) {
  SceneRig rig;
  const auto colours = [&] {
    std::array<std::uint32_t, 3> c{};
    for (int i = 0; i < 3; ++i) c[static_cast<std::size_t>(i)] = rig.m().brushes.at(i)->colour;
    return c;
  };
  rig.input.recordKeyDown(VKEY_ENTER);  // a press alone does nothing
  rig.step();
  EXPECT_EQ(colours(), BRUSH_COLOUR_SETS[0]);
  rig.input.recordKeyUp(VKEY_ENTER);
  rig.step();
  EXPECT_EQ(colours(), BRUSH_COLOUR_SETS[1]);
  EXPECT_EQ(rig.m().brushes.at(0)->kind, SCENE_BRUSH_KIND);  // only the colours change
  rig.step();
  EXPECT_EQ(colours(), BRUSH_COLOUR_SETS[1]);  // the release acts once
  rig.input.recordKeyUp(VKEY_ENTER);
  rig.step();
  EXPECT_EQ(colours(), BRUSH_COLOUR_SETS[0]);
}

TEST(FrameStep, TheDistanceControlsStopAtTheirLimits) {
  SceneRig rig;
  Transform& cloud = *rig.m().transforms.at(CLOUD_TRANSFORM);
  cloud.position.z = -348.0;
  rig.input.recordKeyDown(VKEY_UP);
  rig.step();
  EXPECT_EQ(cloud.position.z, -355.5);
  rig.input.recordKeyDown(VKEY_UP);
  rig.step();
  EXPECT_EQ(cloud.position.z, -355.5);
  rig.input.recordKeyDown(VKEY_DOWN);
  rig.step();
  EXPECT_EQ(cloud.position.z, -348.0);
  // The wheel: toward the user (negative) takes the cloud farther, away
  // from the user brings it nearer.
  rig.input.recordWheel(wheelValueFromDelta(-120));
  rig.step();
  EXPECT_EQ(cloud.position.z, -340.5);
  rig.input.recordWheel(wheelValueFromDelta(120));
  rig.step();
  EXPECT_EQ(cloud.position.z, -348.0);
  // Up and Down in one frame: both apply.
  rig.input.recordKeyDown(VKEY_UP);
  rig.input.recordKeyDown(VKEY_DOWN);
  rig.step();
  EXPECT_EQ(cloud.position.z, -348.0);
  // The far limit.
  cloud.position.z = 349.0;
  rig.input.recordKeyDown(VKEY_DOWN);
  rig.step();
  EXPECT_EQ(cloud.position.z, 356.5);
  rig.input.recordKeyDown(VKEY_DOWN);
  rig.step();
  EXPECT_EQ(cloud.position.z, 356.5);
}

TEST(FrameStep, MouseMovesOfMoreThanTwoPixelsAndTheArrowsSetTheSpin) {
  SceneRig rig;
  const auto spin = [&] { return rig.m().transforms.at(CLOUD_TRANSFORM)->spinSteps; };
  using Steps = std::array<std::int32_t, 3>;
  EXPECT_EQ(spin(), (Steps{0, 1, 0}));
  rig.input.recordMouseMove(100, 0);  // from 0: dx = -100
  rig.step();
  EXPECT_EQ(spin(), (Steps{0, 1, 0}));
  rig.input.recordMouseMove(98, 0);  // dx = 2
  rig.step();
  EXPECT_EQ(spin(), (Steps{0, 1, 0}));
  rig.input.recordMouseMove(95, 0);  // dx = 3
  rig.step();
  EXPECT_EQ(spin(), (Steps{0, -1, 0}));
  rig.input.recordMouseMove(97, 0);  // dx = -2
  rig.step();
  EXPECT_EQ(spin(), (Steps{0, -1, 0}));
  rig.input.recordMouseMove(100, 0);  // dx = -3
  rig.step();
  EXPECT_EQ(spin(), (Steps{0, 1, 0}));
  // A frame without a move keeps the last difference but does not act on it.
  rig.input.recordKeyDown(VKEY_LEFT);
  rig.step();
  EXPECT_EQ(spin(), (Steps{0, -1, 0}));
  rig.step();
  EXPECT_EQ(spin(), (Steps{0, -1, 0}));
  // The arrows come after the mouse.
  rig.input.recordMouseMove(90, 0);  // dx = 10: spin -1 ...
  rig.input.recordKeyDown(VKEY_RIGHT);  // ... overridden by Right
  rig.step();
  EXPECT_EQ(spin(), (Steps{0, 1, 0}));
}

// Makes every frame's work take `ticks` of the scripted clock.
class SlowFrames : public FrameStepObserver {
 public:
  SlowFrames(testing::TestPlatform& p, std::uint64_t t) : platform_(p), ticks_(t) {}
  void atFrameStep(FrameStepPoint point) override {
    if (point == FrameStepPoint::UpdateDone) platform_.ticks += ticks_;
  }

 private:
  testing::TestPlatform& platform_;
  std::uint64_t ticks_;
};

TEST(FrameStep, ASlowStartSwitchesToHalfResolutionOnceTheWindowIsFilled) {
  SceneRig rig;
  SlowFrames slow(rig.platform, 10000);  // 100 ms a frame: 10 frames per second
  rig.scene().observer = &slow;
  rig.steps(9);
  EXPECT_EQ(rig.m().frame.halfResRequested, 0);
  rig.step();
  EXPECT_EQ(rig.m().frame.halfResRequested, 1);
  EXPECT_EQ(rig.m().clock.framesPerSecond(), 10);
  // A slow frame sleeps not at all.
  EXPECT_EQ(rig.platform.sleeps.size(), 0u);
  rig.scene().observer = nullptr;
  rig.steps(11);
  EXPECT_EQ(rig.m().frame.halfResRequested, 1);  // never undone
}

TEST(FrameStep, TheSlowMachineSwitchLooksAtTheFirst250FramesOnly) {
  for (const int before : {240, 241}) {
    SceneRig rig;
    // As if `before` frames had passed already: the decision at the tenth
    // frame from here is frame before + 10 of the run.
    rig.scene().startupFrames = before;
    SlowFrames slow(rig.platform, 10000);
    rig.scene().observer = &slow;
    rig.steps(10);
    EXPECT_EQ(rig.m().frame.halfResRequested, before == 240 ? 1 : 0) << before;
    EXPECT_EQ(rig.scene().startupFrames, 250);
  }
}

TEST(FrameStep, FramesFasterThanTheClockNeverCountAsSlow) {
  SceneRig rig;  // the scripted clock stands still while a frame works
  rig.steps(12);
  EXPECT_EQ(rig.m().clock.framesPerSecond(), TICKS_PER_SECOND);
  EXPECT_EQ(rig.m().frame.halfResRequested, 0);
  // Each frame slept its whole period.
  ASSERT_EQ(rig.platform.sleeps.size(), 12u);
  EXPECT_EQ(rig.platform.sleeps.back(), 40u);
}

TEST(FrameStep, TheObserverSeesTheStepsInOrder) {
  SceneRig rig;
  struct Recorder : FrameStepObserver {
    std::vector<FrameStepPoint> seen;
    void atFrameStep(FrameStepPoint p) override { seen.push_back(p); }
  } recorder;
  rig.scene().observer = &recorder;
  rig.step();
  EXPECT_EQ(recorder.seen, (std::vector<FrameStepPoint>{FrameStepPoint::UpdateBegins, FrameStepPoint::UpdateDone,
                                                         FrameStepPoint::CompositionDone}));
  EXPECT_FALSE(rig.platform.presents.empty());
}

}  // namespace
}  // namespace qv
