#pragma once
// The command-line grammar: no argument or "/s" (any case, further tokens
// ignored) runs the animation; exactly "/p HANDLE" paints the preview into the
// window HANDLE (decimal); "/p" with 0 or a token that is not a number exits
// silently; anything else shows the usage box and exits.

#include <windows.h>

namespace qv::win32 {

enum class ArgsOutcome { Run, Preview, ExitSilently, ShowUsage };

struct ParsedArgs {
  ArgsOutcome outcome = ArgsOutcome::Run;
  HWND previewParent = nullptr;  // set for Preview
};

// Classifies a whole command line as GetCommandLineW gives it (token 0 is the
// program's path).
ParsedArgs classifyArgs(const wchar_t* commandLine);

}  // namespace qv::win32
