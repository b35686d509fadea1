#pragma once
// Narrowing of a splat box to the frame, the first step of every clipped
// kernel. It leaves in the block which rows and columns around the centre
// survive, so the clipped traversal needs no per-pixel bounds test.

namespace qv {

struct SplatParams;

// Narrows left/right/top/bottom to the frame (its columns, and the rows
// minRow ... maxRow) and sets the extents, the first row and column distances
// and the four draw flags.
void clipSplat(SplatParams& params);

}  // namespace qv
