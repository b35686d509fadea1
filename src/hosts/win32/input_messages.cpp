#include "hosts/win32/input_messages.h"

#include <cstdint>

#include "ground/input_state.h"

namespace qv::win32 {

bool recordInputMessage(InputState& input, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYDOWN: input.recordKeyDown(static_cast<int>(wParam)); return true;
    case WM_KEYUP: input.recordKeyUp(static_cast<int>(wParam)); return true;
    case WM_MOUSEMOVE: {
      const auto bits = static_cast<std::uint32_t>(lParam);
      input.recordMouseMove(static_cast<int>(bits & 0xFFFFu), static_cast<int>((bits >> 16) & 0xFFFFu));
      return true;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: input.recordButton(MouseButton::Left, message == WM_LBUTTONDOWN); return true;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: input.recordButton(MouseButton::Middle, message == WM_MBUTTONDOWN); return true;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: input.recordButton(MouseButton::Right, message == WM_RBUTTONDOWN); return true;
    case WM_MOUSEWHEEL:
      input.recordWheel(static_cast<std::int32_t>(static_cast<std::uint32_t>(wParam)));
      return true;
    default: return false;
  }
}

}  // namespace qv::win32
