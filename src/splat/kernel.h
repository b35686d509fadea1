#pragma once
// A kernel draws the splat described by a SplatParams block. Every brush holds
// two: an inside form for a splat box wholly inside the frame and a clipped
// form that first narrows the box. The block is passed explicitly; a kernel
// reads nothing else.

namespace qv {

struct SplatParams;

using Kernel = void (*)(SplatParams&);

}  // namespace qv
