#pragma once
// Every drawing kernel, by the names the brush table chooses them by. Each
// class and variant has its own pair so that no blend is chosen per pixel:
// the Inside form for a splat box wholly inside the frame, the Clipped form
// (which narrows the box first) otherwise. A point is never clipped.

#include "splat/splat_params.h"

namespace qv {

// Class 1: one pixel of the final point colour, faded toward the background.
void PointKernelInside(SplatParams& p);

// Class 2: lit ball with a depth test against the depth buffer.
void BallKernelClipped(SplatParams& p);
void BallKernelInside(SplatParams& p);

// Class 4 with images: 0 opacity blend, 2 add, 3 subtract, 4 multiply.
void ImageKernel0Clipped(SplatParams& p);
void ImageKernel0Inside(SplatParams& p);
void ImageKernel2Clipped(SplatParams& p);
void ImageKernel2Inside(SplatParams& p);
void ImageKernel3Clipped(SplatParams& p);
void ImageKernel3Inside(SplatParams& p);
void ImageKernel4Clipped(SplatParams& p);
void ImageKernel4Inside(SplatParams& p);

// Class 3: 0 add, 1 weighted blend toward the brush colour, 3 subtract,
// 4 multiply.
void SpotKernel0Clipped(SplatParams& p);
void SpotKernel0Inside(SplatParams& p);
void SpotKernel1Clipped(SplatParams& p);
void SpotKernel1Inside(SplatParams& p);
void SpotKernel3Clipped(SplatParams& p);
void SpotKernel3Inside(SplatParams& p);
void SpotKernel4Clipped(SplatParams& p);
void SpotKernel4Inside(SplatParams& p);

// Class 4 without images: flat anti-aliased disc, ring or target.
// 0 opacity blend, 2 add, 3 subtract, 4 multiply.
void DiscKernel0Clipped(SplatParams& p);
void DiscKernel0Inside(SplatParams& p);
void DiscKernel2Clipped(SplatParams& p);
void DiscKernel2Inside(SplatParams& p);
void DiscKernel3Clipped(SplatParams& p);
void DiscKernel3Inside(SplatParams& p);
void DiscKernel4Clipped(SplatParams& p);
void DiscKernel4Inside(SplatParams& p);

}  // namespace qv
