#include "splat/clip_splat.h"

#include <algorithm>

#include "splat/splat_params.h"

namespace qv {

void clipSplat(SplatParams& p) {
  p.left = std::max(p.left, 0);
  p.right = std::min(p.right, p.maxColumn);
  p.top = std::max(p.top, p.minRow);
  p.bottom = std::min(p.bottom, p.maxRow);

  p.leftExtent = p.centreX - p.left;
  p.rightExtent = p.right - p.centreX;
  p.upExtent = p.centreY - p.top;
  p.downExtent = p.bottom - p.centreY;
  p.firstRow = 0;
  p.firstColumn = 0;

  // A centre outside the frame leaves only one side of it to draw, starting
  // at the first distance that lies inside.
  if (p.upExtent < 0) {
    p.drawUp = 0;
    p.drawDown = 1;
    p.firstRow = -p.upExtent;
  } else {
    p.drawUp = 1;
    if (p.downExtent < 0) {
      p.drawDown = 0;
      p.firstRow = -p.downExtent;
    } else {
      p.drawDown = 1;
    }
  }

  if (p.leftExtent < 0) {
    p.drawLeft = 0;
    p.drawRight = 1;
    p.firstColumn = -p.leftExtent;
  } else {
    p.drawLeft = 1;
    if (p.rightExtent < 0) {
      p.drawRight = 0;
      p.firstColumn = -p.rightExtent;
    } else {
      p.drawRight = 1;
    }
  }
}

}  // namespace qv
