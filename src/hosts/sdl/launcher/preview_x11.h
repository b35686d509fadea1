#pragma once
// The preview on X11: paints the preview picture into an existing window at
// its top-left corner on every expose, until that window is destroyed or a
// stop signal comes.

#include <cstdint>

namespace qv::sdl {

// Returns the exit code: 0 when the window went away (or never existed, as a
// bad handle ends the program silently), 1 when there is no display.
int runX11Preview(std::uint64_t windowId);

}  // namespace qv::sdl
