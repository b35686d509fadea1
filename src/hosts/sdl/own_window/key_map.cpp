#include "hosts/sdl/own_window/key_map.h"

#include "ground/input_state.h"

namespace qv::sdl {
namespace {

constexpr int VKEY_NUMPAD0 = 96;
constexpr int VKEY_F11 = 122;

}  // namespace

int virtualKeyForSdlKey(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return VKEY_A + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return VKEY_0 + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F10) return VKEY_F1 + (key - SDLK_F1);
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return VKEY_NUMPAD0 + 1 + (key - SDLK_KP_1);
  switch (key) {
    case SDLK_ESCAPE: return VKEY_ESCAPE;
    case SDLK_RETURN:
    case SDLK_RETURN2:
    case SDLK_KP_ENTER: return VKEY_ENTER;
    case SDLK_SPACE: return VKEY_SPACE;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VKEY_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VKEY_CTRL;
    case SDLK_LALT:
    case SDLK_RALT: return VKEY_ALT;
    case SDLK_TAB: return VKEY_TAB;
    case SDLK_BACKSPACE: return VKEY_BACKSPACE;
    case SDLK_DELETE: return VKEY_DELETE;
    case SDLK_INSERT: return VKEY_INSERT;
    case SDLK_UP: return VKEY_UP;
    case SDLK_DOWN: return VKEY_DOWN;
    case SDLK_LEFT: return VKEY_LEFT;
    case SDLK_RIGHT: return VKEY_RIGHT;
    case SDLK_F11: return VKEY_F11;
    case SDLK_F12: return VKEY_F11 + 1;
    case SDLK_KP_0: return VKEY_NUMPAD0;
    default: return VKEY_UNLISTED;
  }
}

}  // namespace qv::sdl
