#pragma once
// The host shell's settings. The shell is a small reusable framework with
// neutral defaults (a window called "NCosole", hooks that only complain that
// nothing was configured); configureHost (animation_host.h) supplies this
// program's values before the shell starts.

#include <string>

#include "ground/hook.h"

namespace qv::win32 {

inline constexpr wchar_t DEFAULT_WINDOW_NAME[] = L"NCosole";
inline constexpr wchar_t PROGRAM_WINDOW_NAME[] = L"Quorvalent";

// The box for arguments the program does not know: the exit key and where
// the other controls are shown, in English and Russian.
inline constexpr wchar_t USAGE_TEXT[] =
    L"\nExit - key Esc\n\nOther controls look at the left-down corner after Run.\n\n\n"
    L"\u0412\u044b\u0445\u043e\u0434 - \u043a\u043b\u0430\u0432\u0438\u0448\u0430 Esc\n\n"
    L"\u041f\u0440\u043e\u0447\u0438\u0435 \u0443\u043f\u0440\u0430\u0432\u043b\u0435\u043d\u0438\u044f "
    L"\u0441\u043c\u043e\u0442\u0440\u0438\u0442\u0435 \u0432 \u043b\u0435\u0432\u043e\u043c-"
    L"\u043d\u0438\u0436\u043d\u0435\u043c \u0443\u0433\u043b\u0443   \n"
    L"\u043f\u043e\u0441\u043b\u0435 \u0417\u0430\u043f\u0443\u0441\u043a\u0430.\n ";
inline constexpr wchar_t USAGE_CAPTION[] = L"    Quorvalent";

inline constexpr wchar_t HOOK_CAPTION[] = L"Process running";
inline constexpr wchar_t NO_PROCESS_TEXT[] = L"No process defined";
inline constexpr wchar_t NO_REDRAW_TEXT[] = L"No Redraw function defined";

struct HostSettings {
  std::wstring windowName = DEFAULT_WINDOW_NAME;  // window class name and title
  int showCursor = 1;                             // ShowCursor's argument once the worker runs
  Hook processHook;                               // what the worker thread runs
  Hook redrawHook;                                // what the redraw timer runs
  int width = 240;                                // window and frame size
  int height = 180;
  int fullScreen = 0;      // 1: a popup over the whole screen
  int parseArguments = 1;  // non-zero: the command line is examined at start
  std::wstring usageText = USAGE_TEXT;
  std::wstring usageCaption = USAGE_CAPTION;
  int workerPriority = 0;  // 2: time critical, 1: highest, otherwise normal
};

}  // namespace qv::win32
