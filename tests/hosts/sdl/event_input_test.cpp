#include "hosts/sdl/event_input.h"

#include <gtest/gtest.h>

#include "ground/input_state.h"
#include "hosts/sdl/key_map.h"

namespace qv::sdl {
namespace {

SDL_Event keyEvent(Uint32 type, SDL_Keycode key, Uint8 repeat = 0) {
  SDL_Event e{};
  e.type = type;
  e.key.keysym.sym = key;
  e.key.repeat = repeat;
  return e;
}

TEST(KeyMap, KeysOfTheRecordGetTheirVirtualKeyCodes) {
  EXPECT_EQ(virtualKeyForSdlKey(SDLK_ESCAPE), 27);
  EXPECT_EQ(virtualKeyForSdlKey(SDLK_RETURN), 13);
  EXPECT_EQ(virtualKeyForSdlKey(SDLK_KP_ENTER), 13);
  EXPECT_EQ(virtualKeyForSdlKey(SDLK_LEFT), 37);
  EXPECT_EQ(virtualKeyForSdlKey(SDLK_UP), 38);
  EXPECT_EQ(virtualKeyForSdlKey(SDLK_RIGHT), 39);
  EXPECT_EQ(virtualKeyForSdlKey(SDLK_DOWN), 40);
  EXPECT_EQ(virtualKeyForSdlKey(SDLK_a), 65);
  EXPECT_EQ(virtualKeyForSdlKey(SDLK_z), 90);
  EXPECT_EQ(virtualKeyForSdlKey(SDLK_0), 48);
  EXPECT_EQ(virtualKeyForSdlKey(SDLK_9), 57);
  EXPECT_EQ(virtualKeyForSdlKey(SDLK_F1), 112);
  EXPECT_EQ(virtualKeyForSdlKey(SDLK_F10), 121);
  EXPECT_EQ(virtualKeyForSdlKey(SDLK_RSHIFT), 16);
  EXPECT_EQ(virtualKeyForSdlKey(SDLK_LCTRL), 17);
  EXPECT_EQ(virtualKeyForSdlKey(SDLK_RALT), 18);
  EXPECT_EQ(virtualKeyForSdlKey(SDLK_TAB), 9);
  EXPECT_EQ(virtualKeyForSdlKey(SDLK_BACKSPACE), 8);
  EXPECT_EQ(virtualKeyForSdlKey(SDLK_DELETE), 46);
  EXPECT_EQ(virtualKeyForSdlKey(SDLK_INSERT), 45);
  EXPECT_EQ(virtualKeyForSdlKey(SDLK_SPACE), 32);
}

TEST(KeyMap, OtherKeysSetOnlyTheAnyKeyFlag) {
  for (SDL_Keycode key : {SDLK_F11, SDLK_F12, SDLK_KP_0, SDLK_KP_5, SDLK_PAGEUP, SDLK_CAPSLOCK, SDLK_MINUS}) {
    InputState input;
    recordInputEvent(keyEvent(SDL_KEYDOWN, key), input);
    const InputSnapshot s = input.takeInputEvents();
    EXPECT_EQ(s.keysPressed[KEY_ANY], 1) << key;
    int set = 0;
    for (int flag : s.keysPressed) set += flag;
    EXPECT_EQ(set, 1) << "key " << key << " set a flag of its own";
  }
}

TEST(EventInput, RepeatedKeyDownsSetThePressedFlagAgainAfterEachClearing) {
  InputState input;
  recordInputEvent(keyEvent(SDL_KEYDOWN, SDLK_UP), input);
  EXPECT_EQ(input.takeInputEvents().keysPressed[KEY_UP], 1);
  recordInputEvent(keyEvent(SDL_KEYDOWN, SDLK_UP, 1), input);
  EXPECT_EQ(input.takeInputEvents().keysPressed[KEY_UP], 1);
  recordInputEvent(keyEvent(SDL_KEYUP, SDLK_UP), input);
  const InputSnapshot s = input.takeInputEvents();
  EXPECT_EQ(s.keysPressed[KEY_UP], 0);
  EXPECT_EQ(s.keysReleased[KEY_UP], 1);
}

TEST(EventInput, WheelIsPositiveAwayFromTheUser) {
  SDL_Event e{};
  e.type = SDL_MOUSEWHEEL;
  e.wheel.y = 1;
  e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
  InputState input;
  recordInputEvent(e, input);
  EXPECT_EQ(input.takeInputEvents().wheel, 120 << 16);

  e.wheel.y = -2;
  recordInputEvent(e, input);
  EXPECT_EQ(input.takeInputEvents().wheel, wheelValueFromDelta(-240));
  EXPECT_LT(wheelValueFromDelta(-240), 0);

  // A "natural scrolling" wheel reports the other way round.
  e.wheel.y = 1;
  e.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
  recordInputEvent(e, input);
  EXPECT_LT(input.takeInputEvents().wheel, 0);

  // A huge spin keeps its sign instead of wrapping round in 16 bits.
  e.wheel.y = 1000;
  e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
  recordInputEvent(e, input);
  EXPECT_GT(input.takeInputEvents().wheel, 0);

  e.wheel.y = 0;
  e.wheel.x = 3;
  recordInputEvent(e, input);
  EXPECT_EQ(input.takeInputEvents().wheel, 0);
}

TEST(EventInput, ButtonsAndMotion) {
  InputState input;
  SDL_Event e{};
  e.type = SDL_MOUSEBUTTONDOWN;
  e.button.button = SDL_BUTTON_RIGHT;
  recordInputEvent(e, input);
  e.type = SDL_MOUSEBUTTONUP;
  recordInputEvent(e, input);
  e.type = SDL_MOUSEMOTION;
  e.motion.x = 300;
  e.motion.y = 200;
  recordInputEvent(e, input);
  InputSnapshot s = input.takeInputEvents();
  EXPECT_EQ(s.anyButtonDown, 1);
  EXPECT_EQ(s.anyButtonUp, 1);
  EXPECT_EQ(s.rightButton, 1);
  EXPECT_EQ(s.leftButton, 0);
  EXPECT_EQ(s.mouseMoved, 1);
  EXPECT_EQ(s.mouseX, 300);
  EXPECT_EQ(s.mouseDX, -300);

  // A side button has no field and touches nothing.
  e = SDL_Event{};
  e.type = SDL_MOUSEBUTTONDOWN;
  e.button.button = SDL_BUTTON_X1;
  recordInputEvent(e, input);
  s = input.takeInputEvents();
  EXPECT_EQ(s.anyButtonDown, 0);
}

}  // namespace
}  // namespace qv::sdl
