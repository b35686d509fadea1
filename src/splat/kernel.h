#pragma once
// A kernel draws the splat described by a SplatParams block. Every brush holds
// two: an inside form for a splat box wholly inside the frame and a clipped
// form that first narrows the box. The block is passed explicitly; a kernel
// reads nothing else. Every kernel comes as such a pair, except the point
// kernel: a point outside the frame is skipped before any kernel runs.

namespace qv {

struct SplatParams;

using Kernel = void (*)(SplatParams&);

// The kernel of a brush that has none for its kind: a fatal "PSI: LinkDraw
// Error". Every new brush starts with it in both places.
void reportLinkDrawError(SplatParams& p);

// Every kernel is declared in splat/kernels.h.

}  // namespace qv
