#pragma once
// SDL's keys in the virtual-key codes of the input record. Keys the record
// knows get their own code; other keys get their real virtual-key code where
// there is an obvious one (F11, F12, the keypad digits) and VKEY_UNLISTED
// otherwise, so that they still count as "any key".

#include <SDL_keycode.h>

namespace qv::sdl {

// A code the record has no flag for (the window system leaves 0xFF unused).
inline constexpr int VKEY_UNLISTED = 0xFF;

int virtualKeyForSdlKey(SDL_Keycode key);

}  // namespace qv::sdl
