#include "splat/kernel_test_support.h"
#include "frame/frame_buffer.h"

namespace qv::testing {

GuardedFrame::GuardedFrame(int width, int height, std::uint32_t fill)
    : width_(width),
      height_(height),
      stride_(width + 2 * GUARD),
      pixels_(static_cast<std::size_t>(stride_) * (height + 2 * GUARD), GUARD_PIXEL),
      depth_(pixels_.size(), GUARD_DEPTH),
      rowStart_(height) {
  for (int y = 0; y < height; ++y) {
    rowStart_[y] = index(0, y);
    for (int x = 0; x < width; ++x) at(x, y) = fill;
  }
  fillDepth(DEPTH_RESET_VALUE);
}

void GuardedFrame::fillDepth(std::int32_t value) {
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) depthAt(x, y) = value;
}

bool GuardedFrame::guardIntact() const {
  for (int y = -GUARD; y < height_ + GUARD; ++y) {
    for (int x = -GUARD; x < width_ + GUARD; ++x) {
      if (x >= 0 && x < width_ && y >= 0 && y < height_) continue;
      const int i = index(x, y);
      if (pixels_[i] != GUARD_PIXEL || depth_[i] != GUARD_DEPTH) return false;
    }
  }
  return true;
}

void GuardedFrame::attach(SplatParams& p) {
  p.pixels = pixels_.data();
  p.depthBuffer = depth_.data();
  p.rowStart = rowStart_.data();
  p.maxColumn = width_ - 1;
  p.maxRow = height_ - 1;
}

KernelTables::KernelTables() {
  tables.buildSphereTable();
  tables.buildRescaleTable();
  tables.buildDiscCoverageTables();
}

const KernelTables& KernelTables::get() {
  static const KernelTables shared;
  return shared;
}

void KernelTables::attach(SplatParams& p, int radius) const {
  p.sphereTable = tables.sphereTable();
  p.rescaleRow = tables.rescaleRow(radius);
  p.discCoverage = tables.discCoverageTables();
}

QuadrantImages::QuadrantImages(std::uint32_t fill) {
  for (auto& image : texels) image.assign(QUADRANT_SIDE * QUADRANT_SIDE, fill);
}

void QuadrantImages::attach(SplatParams& p) const {
  for (int q = 0; q < 4; ++q) p.quadrant[q] = texels[q].data();
}

SplatParams splatAt(int cx, int cy, int sizePixel) {
  SplatParams p;
  p.sizePixel = sizePixel;
  p.sizeHalf = 2 * sizePixel;
  p.sizeQuarter = 4 * sizePixel;
  p.tinyBall = sizePixel == 2 ? 1 : 0;
  p.centreX = cx;
  p.centreY = cy;
  p.radius = sizePixel - 1;
  p.left = cx - p.radius;
  p.right = cx + p.radius;
  p.top = cy - p.radius;
  p.bottom = cy + p.radius;
  KernelTables::get().attach(p, p.radius);
  return p;
}

SplatParams splatAt(int cx, int cy, int sizePixel, GuardedFrame& frame, const QuadrantImages* images) {
  SplatParams p = splatAt(cx, cy, sizePixel);
  frame.attach(p);
  if (images != nullptr) images->attach(p);
  return p;
}

}  // namespace qv::testing
