#include "ground/input_state.h"

#include <gtest/gtest.h>

#include <tuple>

namespace qv {
namespace {

int setFlagCount(const std::array<int, KEY_FLAG_COUNT>& block) {
  int n = 0;
  for (int f : block) n += f;
  return n;
}

TEST(InputState, EveryKnownKeyMapsToItsOwnFlag) {
  std::array<int, KEY_FLAG_COUNT> seen{};
  int known = 0;
  for (int vk = 0; vk < 256; ++vk) {
    const int flag = keyFlagForVirtualKey(vk);
    if (flag < 0) continue;
    ASSERT_GT(flag, KEY_ANY);
    ASSERT_LT(flag, KEY_FLAG_COUNT);
    ++seen[static_cast<std::size_t>(flag)];
    ++known;
  }
  EXPECT_EQ(known, KEY_FLAG_COUNT - 1);
  for (int f = 1; f < KEY_FLAG_COUNT; ++f) EXPECT_EQ(seen[static_cast<std::size_t>(f)], 1) << f;
  EXPECT_EQ(keyFlagForVirtualKey(VKEY_ESCAPE), KEY_ESCAPE);
  EXPECT_EQ(keyFlagForVirtualKey(121), KEY_F10);
  EXPECT_EQ(keyFlagForVirtualKey('9'), KEY_DIGIT_0 + 9);
  EXPECT_EQ(keyFlagForVirtualKey('Z'), KEY_FLAG_COUNT - 1);
  EXPECT_EQ(keyFlagForVirtualKey(VKEY_DOWN), KEY_DOWN);
  EXPECT_EQ(keyFlagForVirtualKey(VKEY_LEFT), KEY_LEFT);
}

TEST(InputState, HeldKeyRepeatsPressedButReleasesOnce) {
  InputState input;
  input.clearInputEvents();
  // Frame 1: the key goes down; frames 2 and 3: auto-repeat; then released.
  input.recordKeyDown(VKEY_UP);
  InputSnapshot f1 = input.takeInputEvents();
  input.recordKeyDown(VKEY_UP);
  input.recordKeyDown(VKEY_UP);
  InputSnapshot f2 = input.takeInputEvents();
  input.recordKeyDown(VKEY_UP);
  input.recordKeyUp(VKEY_UP);
  InputSnapshot f3 = input.takeInputEvents();
  InputSnapshot f4 = input.takeInputEvents();
  EXPECT_EQ(f1.keysPressed[KEY_UP], 1);
  EXPECT_EQ(f2.keysPressed[KEY_UP], 1);
  EXPECT_EQ(f3.keysPressed[KEY_UP], 1);
  EXPECT_EQ(f4.keysPressed[KEY_UP], 0);
  EXPECT_EQ(f1.keysReleased[KEY_UP] + f2.keysReleased[KEY_UP], 0);
  EXPECT_EQ(f3.keysReleased[KEY_UP], 1);
  EXPECT_EQ(std::tuple(f3.keysReleased[KEY_ANY], f4.keysReleased[KEY_UP]), std::tuple(1, 0));
}

TEST(InputState, UnknownKeySetsOnlyAnyKey) {
  InputState input;
  input.recordKeyDown(122);  // F11
  input.recordKeyUp(96);     // a keypad digit
  InputSnapshot s = input.takeInputEvents();
  EXPECT_EQ(s.keysPressed[KEY_ANY], 1);
  EXPECT_EQ(setFlagCount(s.keysPressed), 1);
  EXPECT_EQ(s.keysReleased[KEY_ANY], 1);
  EXPECT_EQ(setFlagCount(s.keysReleased), 1);
}

TEST(InputState, PressAndReleaseInOneFrameLeaveAllFlagsSet) {
  InputState input;
  input.recordButton(MouseButton::Right, true);
  input.recordButton(MouseButton::Right, false);
  InputSnapshot s = input.takeInputEvents();
  EXPECT_EQ(std::tuple(s.anyButtonDown, s.anyButtonUp, s.rightButton, s.leftButton, s.middleButton),
            std::tuple(1, 1, 1, 0, 0));
  input.recordButton(MouseButton::Middle, false);
  s = input.takeInputEvents();
  EXPECT_EQ(std::tuple(s.anyButtonDown, s.anyButtonUp, s.middleButton), std::tuple(0, 1, 1));
}

TEST(InputState, WheelCarriesTheSignOfTheDelta) {
  InputState input;
  input.recordWheel(wheelValueFromDelta(-120));  // toward the user
  EXPECT_LT(input.takeInputEvents().wheel, 0);
  input.recordWheel(wheelValueFromDelta(120));
  InputSnapshot s = input.takeInputEvents();
  EXPECT_GT(s.wheel, 0);
  EXPECT_EQ(s.wheel, 120 << 16);
  EXPECT_EQ(input.takeInputEvents().wheel, 0);
}

TEST(InputState, OnlyTheLastMoveOfAFrameCounts) {
  InputState input;
  input.recordMouseMove(30, 40);  // the first move measures from (0, 0)
  InputSnapshot s = input.takeInputEvents();
  EXPECT_EQ(std::tuple(s.mouseMoved, s.mouseDX, s.mouseDY), std::tuple(1, -30, -40));

  input.recordMouseMove(25, 41);
  input.recordMouseMove(25, 41);  // same place again
  s = input.takeInputEvents();
  EXPECT_EQ(std::tuple(s.mouseMoved, s.mouseDX, s.mouseX), std::tuple(0, 0, 25));

  input.recordMouseMove(20, 41);
  input.recordMouseMove(12, 41);
  s = input.takeInputEvents();
  EXPECT_EQ(s.mouseMoved, 1);
  EXPECT_EQ(s.mouseDX, 8);  // the last move alone, not the frame's sum

  // Clearing keeps position and differences.
  input.clearInputEvents();
  s = input.peekInputEvents();
  EXPECT_EQ(std::tuple(s.mouseMoved, s.mouseX, s.mouseY, s.mouseDX), std::tuple(0, 12, 41, 8));

  // Coordinates arrive as the low 16 bits, unsigned.
  input.recordMouseMove(-1, 0x10005);
  EXPECT_EQ(input.mouseX.load(), 0xFFFF);
  EXPECT_EQ(input.mouseY.load(), 5);
}

TEST(InputState, ClearResetsEveryEventField) {
  InputState input;
  input.recordKeyDown('A');
  input.recordKeyUp(VKEY_ENTER);
  input.recordButton(MouseButton::Left, true);
  input.recordButton(MouseButton::Left, false);
  input.recordWheel(7);
  input.recordMouseMove(3, 3);
  input.clearInputEvents();
  InputSnapshot s = input.peekInputEvents();
  EXPECT_EQ(s.anyButtonDown + s.anyButtonUp + s.mouseMoved + s.leftButton + s.middleButton +
                s.rightButton + s.wheel,
            0);
  EXPECT_EQ(setFlagCount(s.keysPressed) + setFlagCount(s.keysReleased), 0);
}

}  // namespace
}  // namespace qv
