#pragma once
// The offline renderer behind quorvalent-render: the animation on a headless
// platform with a virtual clock, frame by frame, writing frames, a raw video
// stream, a contact sheet and timing figures.
//
// Scripted input: --key F:NAME, --wheel F:+1|-1 and --mouse F:X,Y are
// recorded just before frame F runs, so they act in frame F's own input
// reaction (after frame F has been drawn and shown); F counts from 1 and must
// be 1 ... frames. A key is a tap: its pressed and released flags are both
// set for that frame. The mouse starts at 0,0.

#include <cstdio>

#include "hosts/headless/render_options.h"

namespace qv {

// Exit codes of the renderer.
inline constexpr int RENDER_OK = 0;
inline constexpr int RENDER_OUTPUT_FAILED = 1;  // a folder or file could not be written
inline constexpr int RENDER_BAD_ARGUMENTS = 2;
inline constexpr int RENDER_FATAL_ERROR = 3;  // the animation met a fatal error

// Checks what the parser cannot know alone (frame numbers of the input
// script against --frames, output clashes). Empty when all is well, else one
// line naming the argument.
std::string checkRenderOptions(const RenderOptions& options);

// Renders as the options say. `out` takes the bench line (and the video when
// it goes to standard output), `err` the messages.
int runRender(const RenderOptions& options, std::FILE* out, std::FILE* err);

// The whole tool: parse, check, render. Returns the exit code.
int renderMain(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

}  // namespace qv
