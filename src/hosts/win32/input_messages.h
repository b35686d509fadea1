#pragma once
// The window messages that feed the input record: keys by virtual-key code,
// the mouse position from lParam's low and high 16 bits, the six button
// messages, and the wheel as WM_MOUSEWHEEL's whole wParam read as a signed
// 32-bit value (the delta sits in the high 16 bits, so the sign is the
// delta's).

#include <windows.h>

namespace qv {
class InputState;
}

namespace qv::win32 {

// Records the message when it is an input message and returns true; returns
// false for every other message.
bool recordInputMessage(InputState& input, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace qv::win32
