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

// Says "quorvalent: cannot open display NAME: no answer" (the name escaped)
// and ends the program with 1 at once: the thread still waiting for the
// server is inside Xlib, whose state the libraries' clean-up at a normal
// exit would free under it.
[[noreturn]] void endForSilentDisplay();

// openDisplayWithin(DISPLAY_ANSWER_LIMIT) for a run that needs the display;
// a display that does not answer ends the program (endForSilentDisplay).
// Null when there is none, after `refusedLine` on standard error and with
// the exit code 1 in `code`, or when a stop signal came first (code 0,
// nothing said).
Display* openRunDisplay(const char* refusedLine, int& code);

}  // namespace qv::sdl
