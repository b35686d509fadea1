#pragma once
// The command line of the desktop program. A first token that starts with
// '/' is the screen-saver grammar: "/s" (any letter case, further tokens
// ignored) runs the animation; "/p HANDLE" with exactly three tokens paints
// the preview into that window, and a handle that is zero, unreadable or
// beyond X's ids ends the program silently; anything else ("/c" among it)
// shows the usage box.
// Everything else is the X screen-saver grammar, each option with one dash or
// two: -root, -window-id ID (decimal or 0x hexadecimal), -fps, -no-fps,
// -display NAME, -h/-help, and the scene's options for the desktop program
// (scene_options.h: -fps, -no-fps, -brush, -trail, -depth-sort, -half-res,
// -seed), in any order; -root and -window-id together are refused.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "hosts/portable/scene_options.h"

namespace qv::sdl {

enum class LaunchMode {
  Run,           // the animation, in its own window or an existing one
  Preview,       // the eight-icon picture in `windowId`
  Usage,         // the usage box, then exit
  Help,          // the option list on standard output, exit 0
  BadOption,     // `error`, then the option list on standard error, exit 1
  ExitSilently,  // nothing to do
};

struct LaunchRequest {
  LaunchMode mode = LaunchMode::Run;
  bool embedded = false;       // run inside an existing window
  bool rootWindow = false;     // ... the root window (windowId unused)
  std::uint64_t windowId = 0;  // the existing window, or the preview's parent
  std::string display;         // -display NAME; empty: the environment's
  SceneChoices choices;        // the program's own scene unless options say otherwise
  std::string error;           // BadOption: one line naming the option
};

// The options only the desktop program has (the window to draw into, the
// display, the help); the scene's come from sceneOptions().
std::span<const OptionRow<LaunchRequest>> desktopOptions();

// `args` holds every token, token 0 being the program path. `screensaverWindow`
// is the XSCREENSAVER_WINDOW variable, or null when it is not set.
LaunchRequest parseCommandLine(std::span<const std::string_view> args, const char* screensaverWindow);

// The X screen-saver options, one a line, for -help and after a bad option.
std::string_view optionList();

// The preview handle as the window system's string-to-int reads it: an
// optional sign and leading decimal digits; 0 when there are none.
std::int64_t leadingDecimal(std::string_view token);

// The largest X resource id: the protocol keeps an id's top three bits 0.
inline constexpr std::uint64_t MAX_X_ID = 0x1FFFFFFF;

// A window id: decimal, or hexadecimal after 0x / 0X. False for anything
// else, an empty token, zero, or more than MAX_X_ID.
bool parseWindowId(std::string_view token, std::uint64_t& id);

}  // namespace qv::sdl
