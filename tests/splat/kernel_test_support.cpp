#include "frame/frame_buffer.h"
#include "splat/kernel_test_support.h"

#include <cmath>

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

namespace {

void buildSphere(std::vector<std::int32_t>& table) {
  const double R = 255 + 0.5;
  table.assign(256 * 256 * 2, 0);
  for (int i = 0; i < 256; ++i) {
    for (int j = 0; j < 256; ++j) {
      const double l = R * R - static_cast<double>(j) * j - static_cast<double>(i) * i;
      if (l <= 0) continue;
      const double h = std::sqrt(l);
      const double d = (R - h) / R;
      table[(i * 256 + j) * 2] = static_cast<std::int32_t>(8 * h + 0.5);
      table[(i * 256 + j) * 2 + 1] = static_cast<std::int32_t>(16 * (d * d) + 0.5);
    }
  }
}

void buildRescale(std::vector<std::int32_t>& table) {
  table.assign(256 * 256, 0);
  for (int i = 1; i < 256; ++i)
    for (int j = 0; j <= i; ++j)
      table[i * 256 + j] = static_cast<std::int32_t>(255.0 * j / i + 0.5) * 4;
}

bool inside(double r2, double px, double py) { return r2 > px * px + py * py; }

void buildCoverage(std::vector<std::vector<std::uint32_t>>& blocks, int maxS) {
  static constexpr double OFFSETS[4] = {-0.5, -0.167, 0.167, 0.5};
  blocks.assign(maxS + 1, {});
  blocks[0] = {0};
  blocks[1] = {0xFFBF7F3F};
  for (int a = 8; a < 4 * (maxS + 1); ++a) {
    const int s = a >> 2;
    const int b = a & 3;
    if (b == 0) blocks[s].assign(static_cast<std::size_t>(s) * s, 0);
    const double r = s - (3 - b) * 0.25 - 0.4999;
    const double r2 = r * r;
    for (int y = 0; y < s; ++y) {
      for (int x = 0; x < s; ++x) {
        const bool nearIn = inside(r2, x - 0.5, y - 0.5);
        const bool farIn = inside(r2, x + 0.5, y + 0.5);
        int coverage;
        if (nearIn == farIn) {
          coverage = nearIn ? 255 : 0;
        } else {
          int n = 0;
          for (double dy : OFFSETS)
            for (double dx : OFFSETS) n += inside(r2, x + dx, y + dy) ? 1 : 0;
          coverage = 16 * n - 1;
        }
        std::uint32_t& entry = blocks[s][y * s + x];
        entry = (entry & ~(0xFFu << (8 * b))) | static_cast<std::uint32_t>(coverage) << (8 * b);
      }
    }
  }
}

}  // namespace

KernelTables::KernelTables() {
  buildSphere(sphere);
  buildRescale(rescale);
  buildCoverage(discBlocks, MAX_S);
  for (int s = 0; s <= MAX_S; ++s) discPointers[s] = discBlocks[s].data();
}

const KernelTables& KernelTables::get() {
  static const KernelTables tables;
  return tables;
}

void KernelTables::attach(SplatParams& p, int radius) const {
  p.sphereTable = sphere.data();
  p.rescaleRow = rescale.data() + radius * 256;
  p.discCoverage = discPointers.data();
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
