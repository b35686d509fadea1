#pragma once
// The input record. The host's event handler (the main thread) writes what
// happened since the last frame; the frame step on the worker thread takes
// the events once per frame. Nothing is locked: every field is an atomic int,
// and taking an event field exchanges it against 0, so an event that arrives
// while the frame reads the record is kept for the next frame instead of
// being wiped by the clearing.
//
// Every host maps its own key and mouse events onto the recording functions
// below, in the virtual-key codes of the original window messages.

#include <array>
#include <atomic>
#include <cstdint>

namespace qv {

// Virtual-key codes the record knows.
inline constexpr int VKEY_BACKSPACE = 8;
inline constexpr int VKEY_TAB = 9;
inline constexpr int VKEY_ENTER = 13;
inline constexpr int VKEY_SHIFT = 16;
inline constexpr int VKEY_CTRL = 17;
inline constexpr int VKEY_ALT = 18;
inline constexpr int VKEY_ESCAPE = 27;
inline constexpr int VKEY_SPACE = 32;
inline constexpr int VKEY_LEFT = 37;
inline constexpr int VKEY_UP = 38;
inline constexpr int VKEY_RIGHT = 39;
inline constexpr int VKEY_DOWN = 40;
inline constexpr int VKEY_INSERT = 45;
inline constexpr int VKEY_DELETE = 46;
inline constexpr int VKEY_0 = 48;    // digits 48 ... 57
inline constexpr int VKEY_A = 65;    // letters 65 ... 90
inline constexpr int VKEY_F1 = 112;  // F1 ... F10 = 112 ... 121

// Flags of a key block, in order.
enum KeyFlag : int {
  KEY_ANY = 0,
  KEY_ESCAPE,
  KEY_ENTER,
  KEY_SPACE,
  KEY_F1,
  KEY_F10 = KEY_F1 + 9,
  KEY_SHIFT,
  KEY_CTRL,
  KEY_ALT,
  KEY_TAB,
  KEY_BACKSPACE,
  KEY_DELETE,
  KEY_INSERT,
  KEY_UP,
  KEY_DOWN,
  KEY_LEFT,
  KEY_RIGHT,
  KEY_DIGIT_0,
  KEY_LETTER_A = KEY_DIGIT_0 + 10,
  KEY_FLAG_COUNT = KEY_LETTER_A + 26
};
static_assert(KEY_FLAG_COUNT == 61);

// The flag of a virtual key, or -1 for a key the record does not know (such
// a key sets only KEY_ANY).
int keyFlagForVirtualKey(int vk);

enum class MouseButton { Left, Middle, Right };

// A wheel event's value: the wheel delta in the high 16 bits, as the window
// message carries it, so the sign is the delta's sign (positive away from
// the user).
std::int32_t wheelValueFromDelta(int delta);

struct KeyBlock {
  std::array<std::atomic<int>, KEY_FLAG_COUNT> flags{};
};

// A plain copy of the record as one frame sees it.
struct InputSnapshot {
  int anyButtonDown = 0;
  int anyButtonUp = 0;
  int mouseMoved = 0;
  int leftButton = 0;
  int middleButton = 0;
  int rightButton = 0;
  std::int32_t wheel = 0;
  int mouseX = 0;
  int mouseY = 0;
  int mouseDX = 0;
  int mouseDY = 0;
  std::array<int, KEY_FLAG_COUNT> keysReleased{};
  std::array<int, KEY_FLAG_COUNT> keysPressed{};
};

class InputState {
 public:
  // Event fields: set by the host, cleared each frame.
  std::atomic<int> anyButtonDown{0};
  std::atomic<int> anyButtonUp{0};
  std::atomic<int> mouseMoved{0};
  std::atomic<int> leftButton{0};
  std::atomic<int> middleButton{0};
  std::atomic<int> rightButton{0};
  std::atomic<int> wheel{0};
  // Mouse position and the last move's difference: kept across frames.
  std::atomic<int> mouseX{0};
  std::atomic<int> mouseY{0};
  std::atomic<int> mouseDX{0};
  std::atomic<int> mouseDY{0};
  KeyBlock keysReleased;
  KeyBlock keysPressed;

  // Host side. A held key's auto-repeat calls recordKeyDown again.
  void recordKeyDown(int vk);
  void recordKeyUp(int vk);
  void recordButton(MouseButton which, bool down);
  void recordWheel(std::int32_t value);
  // x and y are taken as the low 16 bits, unsigned, as a window message
  // carries them.
  void recordMouseMove(int x, int y);

  // Frame side: clears the event fields and both key blocks; the mouse
  // position and differences stay.
  void clearInputEvents();
  // Reads every event field and clears it in one atomic step each.
  InputSnapshot takeInputEvents();
  // Reads without clearing.
  InputSnapshot peekInputEvents() const;
};

}  // namespace qv
