#include "ground/input_state.h"

#include <gtest/gtest.h>

#include <numeric>
#include <tuple>

namespace qv {
namespace {

int setFlagCount(const std::array<int, KEY_FLAG_COUNT>& block) {
  return std::accumulate(block.begin(), block.end(), 0);
}

TEST(InputState, EveryKnownKeyHasAFlagOfItsOwnAndOtherKeysOnlyTheAnyFlag) {
  std::array<int, KEY_FLAG_COUNT> seen{};
  for (int vk = 0; vk < 256; ++vk) {
    const int flag = keyFlagForVirtualKey(vk);
    if (flag >= 0) ++seen[static_cast<std::size_t>(flag)];
  }
  EXPECT_EQ(seen[KEY_ANY], 0);
  for (int f = 1; f < KEY_FLAG_COUNT; ++f) EXPECT_EQ(seen[static_cast<std::size_t>(f)], 1) << f;
  EXPECT_EQ(std::tuple(keyFlagForVirtualKey(121), keyFlagForVirtualKey('9'), keyFlagForVirtualKey('Z')),
            std::tuple(KEY_F10, KEY_DIGIT_0 + 9, KEY_LETTER_A + 25));

  InputState input;
  input.recordKeyDown(122);  // F11
  input.recordKeyUp(96);     // a keypad digit
  const InputSnapshot s = input.takeInputEvents();
  EXPECT_EQ(std::tuple(s.keysPressed[KEY_ANY], setFlagCount(s.keysPressed)), std::tuple(1, 1));
  EXPECT_EQ(std::tuple(s.keysReleased[KEY_ANY], setFlagCount(s.keysReleased)), std::tuple(1, 1));
}

TEST(InputState, AHeldKeyIsPressedEveryFrameAndReleasedOnce) {
  InputState input;
  input.recordKeyDown(VKEY_UP);
  const InputSnapshot f1 = input.takeInputEvents();
  input.recordKeyDown(VKEY_UP);  // auto-repeat
  input.recordKeyUp(VKEY_UP);
  const InputSnapshot f2 = input.takeInputEvents();
  const InputSnapshot f3 = input.takeInputEvents();
  EXPECT_EQ(std::tuple(f1.keysPressed[KEY_UP], f2.keysPressed[KEY_UP], f3.keysPressed[KEY_UP]),
            std::tuple(1, 1, 0));
  EXPECT_EQ(std::tuple(f1.keysReleased[KEY_UP], f2.keysReleased[KEY_UP], f3.keysReleased[KEY_UP]),
            std::tuple(0, 1, 0));
}

TEST(InputState, ButtonsAndWheelAreEventsOfOneFrame) {
  InputState input;
  input.recordButton(MouseButton::Right, true);
  input.recordButton(MouseButton::Right, false);
  input.recordWheel(wheelValueFromDelta(-120));  // toward the user
  InputSnapshot s = input.takeInputEvents();
  EXPECT_EQ(std::tuple(s.anyButtonDown, s.anyButtonUp, s.rightButton, s.leftButton, s.middleButton, s.wheel),
            std::tuple(1, 1, 1, 0, 0, -120 * 65536));
  input.recordButton(MouseButton::Middle, false);
  s = input.takeInputEvents();
  EXPECT_EQ(std::tuple(s.anyButtonDown, s.anyButtonUp, s.middleButton, s.rightButton, s.wheel),
            std::tuple(0, 1, 1, 0, 0));
}

TEST(InputState, OnlyTheLastMoveOfAFrameCountsAndClearingKeepsThePosition) {
  InputState input;
  input.recordMouseMove(30, 40);  // the first move measures from (0, 0)
  InputSnapshot s = input.takeInputEvents();
  EXPECT_EQ(std::tuple(s.mouseMoved, s.mouseDX, s.mouseDY), std::tuple(1, -30, -40));
  input.recordMouseMove(25, 41);
  input.recordMouseMove(25, 41);  // back onto the same spot: no move
  s = input.takeInputEvents();
  EXPECT_EQ(std::tuple(s.mouseMoved, s.mouseDX, s.mouseX), std::tuple(0, 0, 25));
  input.recordMouseMove(20, 41);
  input.recordMouseMove(12, 41);
  input.recordKeyDown('A');
  input.clearInputEvents();
  s = input.peekInputEvents();
  EXPECT_EQ(std::tuple(s.mouseMoved, s.mouseX, s.mouseY, s.mouseDX), std::tuple(0, 12, 41, 8));
  EXPECT_EQ(setFlagCount(s.keysPressed), 0);
  input.recordMouseMove(-1, 0x10005);  // the low 16 bits, unsigned
  EXPECT_EQ(std::tuple(input.mouseX.load(), input.mouseY.load()), std::tuple(0xFFFF, 5));
}

}  // namespace
}  // namespace qv
