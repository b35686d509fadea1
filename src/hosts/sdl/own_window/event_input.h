#pragma once
// SDL's keyboard and mouse events into the input record, as the window
// messages would have set it: keys in virtual-key codes (a held key's
// repeats are key-downs again), the wheel as delta * 120 in the high 16 bits,
// positive away from the user, the mouse position in window pixels.

#include <SDL_events.h>

namespace qv {
class InputState;
}

namespace qv::sdl {

// Records `e` when it is an input event; other events are left alone.
void recordInputEvent(const SDL_Event& e, InputState& input);

}  // namespace qv::sdl
