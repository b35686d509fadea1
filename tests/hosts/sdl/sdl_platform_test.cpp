// The desktop program's pieces that need no display: input events, the
// platform's timers and the FPS figure.
#include <gtest/gtest.h>

#include <chrono>
#include <numeric>
#include <string>
#include <thread>
#include <tuple>

#include "ground/input_state.h"
#include "hosts/sdl/own_window/event_input.h"
#include "hosts/sdl/own_window/key_map.h"
#include "hosts/sdl/shared/fps_figure.h"
#include "hosts/sdl/shared/sdl_platform.h"

namespace qv::sdl {
namespace {

SDL_Event keyEvent(Uint32 type, SDL_Keycode key, Uint8 repeat = 0) {
  SDL_Event e{};
  e.type = type;
  e.key.keysym.sym = key;
  e.key.repeat = repeat;
  return e;
}

// The keys the scene reacts to get their virtual-key codes; keys outside the
// record set only its any-key flag.
TEST(KeyMap, TheScenesKeysGetTheirVirtualKeyCodesAndOthersOnlyTheAnyKeyFlag) {
  const std::pair<SDL_Keycode, int> table[] = {{SDLK_ESCAPE, 27}, {SDLK_RETURN, 13}, {SDLK_KP_ENTER, 13},
                                               {SDLK_LEFT, 37},   {SDLK_UP, 38},     {SDLK_RIGHT, 39},
                                               {SDLK_DOWN, 40}};
  for (auto [key, vk] : table) EXPECT_EQ(virtualKeyForSdlKey(key), vk) << key;
  for (SDL_Keycode key : {SDLK_F11, SDLK_F12, SDLK_KP_0, SDLK_KP_5, SDLK_PAGEUP, SDLK_CAPSLOCK, SDLK_MINUS}) {
    InputState input;
    recordInputEvent(keyEvent(SDL_KEYDOWN, key), input);
    const InputSnapshot s = input.takeInputEvents();
    EXPECT_EQ(s.keysPressed[KEY_ANY], 1) << key;
    EXPECT_EQ(std::accumulate(std::begin(s.keysPressed), std::end(s.keysPressed), 0), 1) << key;
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
  EXPECT_EQ(std::tuple(s.keysPressed[KEY_UP], s.keysReleased[KEY_UP]), std::tuple(0, 1));
}

// The wheel is positive away from the user; a "natural scrolling" wheel
// reports the other way round; a huge spin keeps its sign instead of
// wrapping round in 16 bits.
TEST(EventInput, WheelButtonsAndMotion) {
  const auto wheel = [](int x, int y, Uint32 direction) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.x = x;
    e.wheel.y = y;
    e.wheel.direction = direction;
    InputState input;
    recordInputEvent(e, input);
    return input.takeInputEvents().wheel;
  };
  EXPECT_EQ(wheel(0, 1, SDL_MOUSEWHEEL_NORMAL), 120 << 16);
  EXPECT_EQ(wheel(0, -2, SDL_MOUSEWHEEL_NORMAL), -240 * 65536);
  EXPECT_LT(wheel(0, 1, SDL_MOUSEWHEEL_FLIPPED), 0);
  EXPECT_GT(wheel(0, 1000, SDL_MOUSEWHEEL_NORMAL), 0);
  EXPECT_EQ(wheel(3, 0, SDL_MOUSEWHEEL_NORMAL), 0);

  InputState input;
  SDL_Event e{};
  e.button.button = SDL_BUTTON_RIGHT;
  for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
    e.type = type;
    recordInputEvent(e, input);
  }
  e.type = SDL_MOUSEMOTION;
  e.motion.x = 300;
  recordInputEvent(e, input);
  InputSnapshot s = input.takeInputEvents();
  EXPECT_EQ(std::tuple(s.anyButtonDown, s.anyButtonUp, s.rightButton, s.leftButton), std::tuple(1, 1, 1, 0));
  EXPECT_EQ(std::tuple(s.mouseMoved, s.mouseX, s.mouseDX), std::tuple(1, 300, -300));
  // A side button has no field and touches nothing.
  e = SDL_Event{};
  e.type = SDL_MOUSEBUTTONDOWN;
  e.button.button = SDL_BUTTON_X1;
  recordInputEvent(e, input);
  EXPECT_EQ(input.takeInputEvents().anyButtonDown, 0);
}

// The platform's timers, which need no display. (Sleeps, stop requests, the
// frame boundary and resizes show in the Xvfb cases: keys, signals and
// closes end the program at once, a grown window is drawn to its edge.)
TEST(SdlPlatform, TimersFireOnceStartedAndStayFired) {
  ASSERT_EQ(SDL_Init(SDL_INIT_TIMER), 0) << SDL_GetError();
  {
    SdlPlatform platform{nullptr, nullptr};  // made after SDL's start, ended before its end
    EXPECT_FALSE(platform.timerFired(0));
    EXPECT_EQ((std::tuple{platform.startTimer(0, 10), platform.startTimer(3, 60000)}),
              std::tuple(1000, 1003));
    for (int i = 0; i < 400 && !platform.timerFired(0); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(std::tuple(platform.timerFired(0), platform.timerFired(3)), std::tuple(true, false));
    EXPECT_EQ((std::tuple{platform.stopTimer(0), platform.stopTimer(0), platform.timerFired(0),
                          platform.stopTimer(3)}),
              std::tuple(1, 0, true, 1));
    // Numbers outside the table are refused, not written past it.
    EXPECT_EQ((std::tuple{platform.startTimer(SDL_TIMER_COUNT, 10), platform.startTimer(-1, 10),
                          platform.timerFired(-1)}),
              std::tuple(0, 0, false));
  }
  SDL_Quit();
}

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
