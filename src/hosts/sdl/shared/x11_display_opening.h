#pragma once
// Opening the X display without waiting for ever. A server that accepts the
// connection but never answers (a stopped X server, a listener that never
// replies) would hold XOpenDisplay, and with it the program, for good: the
// display is opened on a thread of its own, and the program waits for it
// at most DISPLAY_ANSWER_LIMIT, and no longer than a stop signal.

#include <X11/Xlib.h>

#include <chrono>

namespace qv::sdl {

inline constexpr auto DISPLAY_ANSWER_LIMIT = std::chrono::seconds(5);

enum class DisplayAnswer {
  Open,     // the display is open
  Refused,  // no server there, or it refused the connection
  Silent,   // no answer within the limit
  Stopped,  // a stop signal came first
};

struct OpenedDisplay {
  Display* display = nullptr;  // Open: the caller's to close
  DisplayAnswer answer = DisplayAnswer::Refused;
};

// Opens the display $DISPLAY names, waiting at most `limit`.
OpenedDisplay openDisplayWithin(std::chrono::milliseconds limit);

// "quorvalent: cannot open display NAME: no answer", the name escaped.
void sayDisplayIsSilent();

// openDisplayWithin(DISPLAY_ANSWER_LIMIT) for a run that needs the display:
// null when there is none, after one line on standard error (`refusedLine`,
// or sayDisplayIsSilent) and with the exit code in `code` (1; 0 when a stop
// signal came first, which says nothing).
Display* openRunDisplay(const char* refusedLine, int& code);

}  // namespace qv::sdl
