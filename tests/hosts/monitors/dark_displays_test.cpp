// The desktop program's dark windows with a made-up display list, on SDL's
// dummy video driver (which puts every full-screen window on its one
// display, so where they stand only the two-monitor cases see): what becomes
// of the events the two-monitor cases do not send.
#include "hosts/sdl/own_window/dark_displays.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace qv::sdl {
namespace {

// Mouse positions in a dark window are moved into the animation window's
// coordinates (distances stay as they are); their size changes stay theirs.
TEST(DarkDisplays, MousePositionsBecomeTheAnimationWindowsAndSizeChangesStayTheirs) {
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  SDL_Window* animation = SDL_CreateWindow("animation", 0, 0, 640, 480, SDL_WINDOW_BORDERLESS);
  ASSERT_NE(animation, nullptr) << SDL_GetError();
  {
    DarkDisplays dark(animation);
    dark.follow(std::vector<ScreenArea>{{0, 0, 640, 480}, {640, 0, 320, 240}, {-320, -240, 320, 240}});
    ASSERT_EQ(dark.windows().size(), 2u);
    EXPECT_NE(SDL_GetWindowFlags(dark.windows()[0]) & SDL_WINDOW_ALWAYS_ON_TOP, 0u);
    const Uint32 animationId = SDL_GetWindowID(animation);
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.windowID = SDL_GetWindowID(dark.windows()[0]);
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
    SDL_Event resized{};
    resized.type = SDL_WINDOWEVENT;
    resized.window.windowID = SDL_GetWindowID(dark.windows()[0]);
    resized.window.event = SDL_WINDOWEVENT_SIZE_CHANGED;
    EXPECT_TRUE(dark.takeEvent(resized));  // never the animation's size
    resized.window.windowID = animationId;
    EXPECT_FALSE(dark.takeEvent(resized));
  }
  SDL_DestroyWindow(animation);
  SDL_Quit();
}

}  // namespace
}  // namespace qv::sdl
