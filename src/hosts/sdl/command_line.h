#pragma once
// The command line of the desktop program. The screen-saver grammar comes
// first: no argument or "/s" (any letter case, further tokens ignored) runs
// the animation; "/p HANDLE" with exactly three tokens paints the preview into
// that window, and a zero or unreadable handle ends the program silently.
// Beside it the X screen-saver conventions: "-root" (the window named by
// XSCREENSAVER_WINDOW, else the root window), "-window-id ID" (decimal or
// 0x hexadecimal) and "-fps" (the measured frame rate in a corner), in any
// order. Anything else shows the usage box.

#include <cstdint>
#include <span>
#include <string_view>

namespace qv::sdl {

enum class LaunchMode {
  Run,            // the animation, in its own window or an existing one
  Preview,        // the eight-icon picture in `windowId`
  Usage,          // the usage box, then exit
  ExitSilently,   // nothing to do
};

struct LaunchRequest {
  LaunchMode mode = LaunchMode::Run;
  bool embedded = false;        // run inside an existing window
  bool rootWindow = false;      // ... the root window (windowId unused)
  std::uint64_t windowId = 0;   // the existing window, or the preview's parent
  bool showFps = false;
};

// `args` holds every token, token 0 being the program path. `screensaverWindow`
// is the XSCREENSAVER_WINDOW variable, or null when it is not set.
LaunchRequest parseCommandLine(std::span<const std::string_view> args, const char* screensaverWindow);

// The preview handle as the window system's string-to-int reads it: an
// optional sign and leading decimal digits; 0 when there are none.
std::int64_t leadingDecimal(std::string_view token);

// A window id: decimal, or hexadecimal after 0x / 0X. False for anything
// else, an empty token or zero.
bool parseWindowId(std::string_view token, std::uint64_t& id);

}  // namespace qv::sdl
