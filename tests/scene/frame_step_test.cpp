#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <vector>

#include "scene/scene_test_rig.h"

namespace qv {
namespace {

using testing::SceneRig;

TEST(FrameStep, EscapeAndEnterActOnTheirReleaseOnly) {
  SceneRig rig;
  const auto colours = [&] {
    std::array<std::uint32_t, 3> c{};
    for (int i = 0; i < 3; ++i) c[static_cast<std::size_t>(i)] = rig.m().brushes.at(i)->colour;
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

TEST(FrameStep, KeysAndWheelMoveTheCloudInStepsUpToTheLimits) {
  SceneRig rig;
  Transform& cloud = *rig.m().transforms.at(CLOUD_TRANSFORM);
  using Input = std::function<void(InputState&)>;
  const Input up = [](InputState& in) { in.recordKeyDown(VKEY_UP); };
  const Input down = [](InputState& in) { in.recordKeyDown(VKEY_DOWN); };
  struct Case {
    double from;
    Input input;
    double to;
  };
  const Case cases[] = {
      {-348.0, up, -355.5},  // tested against the limit before the step
      {-355.5, up, -355.5},
      {-355.5, down, -348.0},
      {-348.0, [](InputState& in) { in.recordWheel(wheelValueFromDelta(-120)); },
       -340.5},  // toward the user: farther
      {-340.5, [](InputState& in) { in.recordWheel(wheelValueFromDelta(120)); }, -348.0},
      {-348.0,
       [&](InputState& in) {
         up(in);
         down(in);
       },
       -348.0},  // both apply
      {349.0, down, 356.5},
      {356.5, down, 356.5},
  };
  for (const Case& c : cases) {
    cloud.position.z = c.from;
    c.input(rig.input);
    rig.step();
    EXPECT_EQ(cloud.position.z, c.to) << c.from;
  }
}

TEST(FrameStep, MouseMovesOfMoreThanTwoPixelsThenTheArrowsSetTheSpin) {
  SceneRig rig;
  struct Case {
    int mouseX;
    int key;
    int spin;
  };
  // The mouse starts at 0; dx is the old x minus the new one. A frame
  // without a move keeps dx but does not act on it; an arrow comes last.
  const Case cases[] = {{100, 0, 1}, {98, 0, 1},          {95, 0, -1}, {97, 0, -1},
                        {100, 0, 1}, {-1, VKEY_LEFT, -1}, {-1, 0, -1}, {90, VKEY_RIGHT, 1}};
  for (const Case& c : cases) {
    if (c.mouseX >= 0) rig.input.recordMouseMove(c.mouseX, 0);
    if (c.key != 0) rig.input.recordKeyDown(c.key);
    rig.step();
    const auto spin = rig.m().transforms.at(CLOUD_TRANSFORM)->spinSteps;
    EXPECT_EQ(spin, (std::array<std::int32_t, 3>{0, c.spin, 0})) << c.mouseX << " " << c.key;
  }
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

TEST(FrameStep, FramesArePacedTo40MsAndASlowStartSwitchesToHalfResolution) {
  SceneRig fast;  // the scripted clock stands still while a frame works
  fast.steps(12);
  EXPECT_EQ(std::tuple(fast.m().clock.framesPerSecond(), fast.m().frame.halfResRequested),
            std::tuple(TICKS_PER_SECOND, 0));
  EXPECT_EQ(fast.platform.sleeps, std::vector<std::uint32_t>(12, 40));

  SceneRig slow;
  SlowFrames tenPerSecond(slow.platform, 10000);
  slow.scene().observer = &tenPerSecond;
  slow.steps(9);
  EXPECT_EQ(slow.m().frame.halfResRequested, 0);  // not before the meter's window is full
  slow.step();
  EXPECT_EQ(std::tuple(slow.m().frame.halfResRequested, slow.platform.sleeps.size()), std::tuple(1, 0u));
  slow.scene().observer = nullptr;
  slow.steps(11);
  EXPECT_EQ(slow.m().frame.halfResRequested, 1);  // never undone
}

TEST(FrameStep, TheSlowMachineSwitchLooksAtTheFirst250FramesOnly) {
  for (const int before : {240, 241}) {
    SceneRig rig;
    // As if `before` frames had passed: the tenth frame from here is frame
    // before + 10 of the run.
    rig.scene().startupFrames = before;
    SlowFrames slow(rig.platform, 10000);
    rig.scene().observer = &slow;
    rig.steps(10);
    EXPECT_EQ(std::tuple(rig.m().frame.halfResRequested, rig.scene().startupFrames),
              std::tuple(before == 240 ? 1 : 0, 250));
  }
}

}  // namespace
}  // namespace qv
