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

// Class 1: one pixel.
void PointKernelInside(SplatParams& p);

// Class 2: the lit ball with its depth test.
void BallKernelClipped(SplatParams& p);
void BallKernelInside(SplatParams& p);

// Class 3: the soft spot; 0 adds, 1 blends towards the brush colour,
// 3 subtracts, 4 multiplies.
void SpotKernel0Clipped(SplatParams& p);
void SpotKernel0Inside(SplatParams& p);
void SpotKernel1Clipped(SplatParams& p);
void SpotKernel1Inside(SplatParams& p);
void SpotKernel3Clipped(SplatParams& p);
void SpotKernel3Inside(SplatParams& p);
void SpotKernel4Clipped(SplatParams& p);
void SpotKernel4Inside(SplatParams& p);

// Class 4 with images: 0 blends over the frame, 2 adds, 3 subtracts,
// 4 multiplies.
void ImageKernel0Clipped(SplatParams& p);
void ImageKernel0Inside(SplatParams& p);
void ImageKernel2Clipped(SplatParams& p);
void ImageKernel2Inside(SplatParams& p);
void ImageKernel3Clipped(SplatParams& p);
void ImageKernel3Inside(SplatParams& p);
void ImageKernel4Clipped(SplatParams& p);
void ImageKernel4Inside(SplatParams& p);

// Class 4 without images: the anti-aliased disc from the coverage tables,
// with the same blend per variant as the image kernels.
void DiscKernel0Clipped(SplatParams& p);
void DiscKernel0Inside(SplatParams& p);
void DiscKernel2Clipped(SplatParams& p);
void DiscKernel2Inside(SplatParams& p);
void DiscKernel3Clipped(SplatParams& p);
void DiscKernel3Inside(SplatParams& p);
void DiscKernel4Clipped(SplatParams& p);
void DiscKernel4Inside(SplatParams& p);

}  // namespace qv
