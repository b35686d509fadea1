// The kernels that are not written yet. Each one reports "PSI: LinkDraw
// Error", exactly as a brush without a kernel would, so a brush that chose one
// fails loudly instead of drawing nothing. Each definition here is removed as
// the real kernel is written in its own file.

#include "host/runtime_error.h"
#include "splat/kernel.h"
#include "splat/splat_params.h"

namespace qv {

void PointKernelInside(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void BallKernelClipped(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void BallKernelInside(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void SpotKernel0Clipped(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void SpotKernel0Inside(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void SpotKernel1Clipped(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void SpotKernel1Inside(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void SpotKernel3Clipped(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void SpotKernel3Inside(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void SpotKernel4Clipped(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void SpotKernel4Inside(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void ImageKernel0Clipped(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void ImageKernel0Inside(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void ImageKernel2Clipped(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void ImageKernel2Inside(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void ImageKernel3Clipped(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void ImageKernel3Inside(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void ImageKernel4Clipped(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void ImageKernel4Inside(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void DiscKernel0Clipped(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void DiscKernel0Inside(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void DiscKernel2Clipped(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void DiscKernel2Inside(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void DiscKernel3Clipped(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void DiscKernel3Inside(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void DiscKernel4Clipped(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }
void DiscKernel4Inside(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }

}  // namespace qv
