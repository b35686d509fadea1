#include "ground/input_state.h"

namespace qv {

namespace {

void setFlags(KeyBlock& block, int vk) {
  block.flags[KEY_ANY].store(1);
  const int flag = keyFlagForVirtualKey(vk);
  if (flag >= 0) block.flags[static_cast<std::size_t>(flag)].store(1);
}

void takeBlock(KeyBlock& block, std::array<int, KEY_FLAG_COUNT>& out) {
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = block.flags[i].exchange(0);
}

void readBlock(const KeyBlock& block, std::array<int, KEY_FLAG_COUNT>& out) {
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = block.flags[i].load();
}

}  // namespace

int keyFlagForVirtualKey(int vk) {
  switch (vk) {
    case VKEY_ESCAPE: return KEY_ESCAPE;
    case VKEY_ENTER: return KEY_ENTER;
    case VKEY_SPACE: return KEY_SPACE;
    case VKEY_SHIFT: return KEY_SHIFT;
    case VKEY_CTRL: return KEY_CTRL;
    case VKEY_ALT: return KEY_ALT;
    case VKEY_TAB: return KEY_TAB;
    case VKEY_BACKSPACE: return KEY_BACKSPACE;
    case VKEY_DELETE: return KEY_DELETE;
    case VKEY_INSERT: return KEY_INSERT;
    case VKEY_UP: return KEY_UP;
    case VKEY_DOWN: return KEY_DOWN;
    case VKEY_LEFT: return KEY_LEFT;
    case VKEY_RIGHT: return KEY_RIGHT;
    default: break;
  }
  if (vk >= VKEY_F1 && vk < VKEY_F1 + 10) return KEY_F1 + (vk - VKEY_F1);
  if (vk >= VKEY_0 && vk < VKEY_0 + 10) return KEY_DIGIT_0 + (vk - VKEY_0);
  if (vk >= VKEY_A && vk < VKEY_A + 26) return KEY_LETTER_A + (vk - VKEY_A);
  return -1;
}

std::int32_t wheelValueFromDelta(int delta) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(delta) << 16);
}

void InputState::recordKeyDown(int vk) { setFlags(keysPressed, vk); }

void InputState::recordKeyUp(int vk) { setFlags(keysReleased, vk); }

void InputState::recordButton(MouseButton which, bool down) {
  (down ? anyButtonDown : anyButtonUp).store(1);
  switch (which) {
    case MouseButton::Left: leftButton.store(1); break;
    case MouseButton::Middle: middleButton.store(1); break;
    case MouseButton::Right: rightButton.store(1); break;
  }
}

void InputState::recordWheel(std::int32_t value) { wheel.store(value); }

void InputState::recordMouseMove(int x, int y) {
  const int newX = x & 0xFFFF;
  const int newY = y & 0xFFFF;
  const int dx = mouseX.load() - newX;
  const int dy = mouseY.load() - newY;
  mouseDX.store(dx);
  mouseDY.store(dy);
  mouseX.store(newX);
  mouseY.store(newY);
  // Only the last move of a frame counts: a move back onto the same spot
  // says the mouse did not move.
  mouseMoved.store(dx != 0 || dy != 0 ? 1 : 0);
}

void InputState::clearInputEvents() { (void)takeInputEvents(); }

InputSnapshot InputState::takeInputEvents() {
  InputSnapshot s;
  s.anyButtonDown = anyButtonDown.exchange(0);
  s.anyButtonUp = anyButtonUp.exchange(0);
  s.mouseMoved = mouseMoved.exchange(0);
  s.leftButton = leftButton.exchange(0);
  s.middleButton = middleButton.exchange(0);
  s.rightButton = rightButton.exchange(0);
  s.wheel = wheel.exchange(0);
  s.mouseX = mouseX.load();
  s.mouseY = mouseY.load();
  s.mouseDX = mouseDX.load();
  s.mouseDY = mouseDY.load();
  takeBlock(keysReleased, s.keysReleased);
  takeBlock(keysPressed, s.keysPressed);
  return s;
}

InputSnapshot InputState::peekInputEvents() const {
  InputSnapshot s;
  s.anyButtonDown = anyButtonDown.load();
  s.anyButtonUp = anyButtonUp.load();
  s.mouseMoved = mouseMoved.load();
  s.leftButton = leftButton.load();
  s.middleButton = middleButton.load();
  s.rightButton = rightButton.load();
  s.wheel = wheel.load();
  s.mouseX = mouseX.load();
  s.mouseY = mouseY.load();
  s.mouseDX = mouseDX.load();
  s.mouseDY = mouseDY.load();
  readBlock(keysReleased, s.keysReleased);
  readBlock(keysPressed, s.keysPressed);
  return s;
}

}  // namespace qv
