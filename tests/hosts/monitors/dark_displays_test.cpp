// The desktop program's dark windows with a made-up display list, on SDL's
// dummy video driver (which puts every full-screen window on its one
// display, so where they stand only the two-monitor cases see): what
// becomes of their events.
#include "hosts/sdl/dark_displays.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace qv::sdl {
namespace {

class DarkDisplaysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    animation = SDL_CreateWindow("animation", 0, 0, 640, 480, SDL_WINDOW_BORDERLESS);
    ASSERT_NE(animation, nullptr) << SDL_GetError();
  }
  void TearDown() override {
    SDL_DestroyWindow(animation);
    SDL_Quit();
  }

  static SDL_Event windowEvent(Uint32 windowId, SDL_WindowEventID event, int width) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = windowId;
    e.window.event = static_cast<Uint8>(event);
    e.window.data1 = width;
    return e;
  }

  SDL_Window* animation = nullptr;
  const ScreenArea right{640, 0, 320, 240};
  const ScreenArea aboveLeft{-320, -240, 320, 240};
};

// Input and closes in a dark window become the animation window's, mouse
// positions moved into its coordinates (distances stay as they are); their
// own size changes stay theirs.
TEST_F(DarkDisplaysTest, TheirInputAndCloseBecomeTheAnimationWindowsAndTheirPaintStaysTheirs) {
  DarkDisplays dark(animation);
  dark.follow(std::vector<ScreenArea>{{0, 0, 640, 480}, right, aboveLeft});
  ASSERT_EQ(dark.windows().size(), 2u);
  EXPECT_NE(SDL_GetWindowFlags(dark.windows()[0]) & SDL_WINDOW_ALWAYS_ON_TOP, 0u);
  const Uint32 toRight = SDL_GetWindowID(dark.windows()[0]);
  const Uint32 animationId = SDL_GetWindowID(animation);

  SDL_Event motion{};
  motion.type = SDL_MOUSEMOTION;
  motion.motion.windowID = toRight;
  motion.motion.x = 10;
  motion.motion.y = 20;
  motion.motion.xrel = 3;
  EXPECT_FALSE(dark.takeEvent(motion));
  EXPECT_EQ(std::tuple(motion.motion.windowID, motion.motion.x, motion.motion.y, motion.motion.xrel),
            std::tuple(animationId, 650, 20, 3));
  SDL_Event click{};
  click.type = SDL_MOUSEBUTTONDOWN;
  click.button.windowID = SDL_GetWindowID(dark.windows()[1]);
  click.button.x = click.button.y = 5;
  EXPECT_FALSE(dark.takeEvent(click));
  EXPECT_EQ(std::tuple(click.button.windowID, click.button.x, click.button.y),
            std::tuple(animationId, -315, -235));
  SDL_Event key{};
  key.type = SDL_KEYUP;
  key.key.windowID = toRight;
  EXPECT_FALSE(dark.takeEvent(key));
  EXPECT_EQ(key.key.windowID, animationId);
  SDL_Event close = windowEvent(toRight, SDL_WINDOWEVENT_CLOSE, 0);
  EXPECT_FALSE(dark.takeEvent(close));
  EXPECT_EQ(close.window.windowID, animationId);
  SDL_Event resized = windowEvent(toRight, SDL_WINDOWEVENT_SIZE_CHANGED, 100);
  EXPECT_TRUE(dark.takeEvent(resized));  // never the animation's size
  SDL_Event own = windowEvent(animationId, SDL_WINDOWEVENT_SIZE_CHANGED, 800);
  EXPECT_FALSE(dark.takeEvent(own));
  EXPECT_EQ(own.window.data1, 800);
}

}  // namespace
}  // namespace qv::sdl
