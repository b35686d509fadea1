#include "hosts/sdl/own_window/event_input.h"

#include <algorithm>

#include "ground/input_state.h"
#include "hosts/sdl/own_window/key_map.h"

namespace qv::sdl {
namespace {

// One notch of the wheel in the window system's units.
constexpr int WHEEL_NOTCH = 120;
// The most notches whose delta still fits the 16 signed bits it travels in.
constexpr int MAX_WHEEL_NOTCHES = 32767 / WHEEL_NOTCH;

void recordButton(const SDL_MouseButtonEvent& b, bool down, InputState& input) {
  switch (b.button) {
    case SDL_BUTTON_LEFT: input.recordButton(MouseButton::Left, down); break;
    case SDL_BUTTON_MIDDLE: input.recordButton(MouseButton::Middle, down); break;
    case SDL_BUTTON_RIGHT: input.recordButton(MouseButton::Right, down); break;
    default: break;  // the side buttons have no field
  }
}

}  // namespace

void recordInputEvent(const SDL_Event& e, InputState& input) {
  switch (e.type) {
    case SDL_KEYDOWN: input.recordKeyDown(virtualKeyForSdlKey(e.key.keysym.sym)); break;
    case SDL_KEYUP: input.recordKeyUp(virtualKeyForSdlKey(e.key.keysym.sym)); break;
    case SDL_MOUSEMOTION: input.recordMouseMove(e.motion.x, e.motion.y); break;
    case SDL_MOUSEBUTTONDOWN: recordButton(e.button, true, input); break;
    case SDL_MOUSEBUTTONUP: recordButton(e.button, false, input); break;
    case SDL_MOUSEWHEEL: {
      int notches = e.wheel.y;
      if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
      notches = std::clamp(notches, -MAX_WHEEL_NOTCHES, MAX_WHEEL_NOTCHES);
      // A sideways turn moves nothing the record knows.
      if (notches != 0) input.recordWheel(wheelValueFromDelta(notches * WHEEL_NOTCH));
      break;
    }
    default: break;
  }
}

}  // namespace qv::sdl
