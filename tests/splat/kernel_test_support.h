#pragma once
// Small frames with a guard border, and the system's lookup tables, for
// exercising the kernels without the brush set-up.

#include <array>
#include <cstdint>
#include <vector>

#include "frame/lookup_tables.h"
#include "splat/splat_params.h"
#include "support/test_platform.h"

namespace qv::testing {

// A frame whose drawing rectangle sits inside a border of guard words, so a
// write outside the rectangle is seen. The depth buffer is laid out alike.
class GuardedFrame {
 public:
  static constexpr int GUARD = 48;
  static constexpr std::uint32_t GUARD_PIXEL = 0xDEADBEEF;
  static constexpr std::int32_t GUARD_DEPTH = 0x5A5A5A5A;

  GuardedFrame(int width, int height, std::uint32_t fill = 0);

  int width() const { return width_; }
  int height() const { return height_; }
  std::uint32_t& at(int x, int y) { return pixels_[index(x, y)]; }
  std::uint32_t at(int x, int y) const { return pixels_[index(x, y)]; }
  std::int32_t& depthAt(int x, int y) { return depth_[index(x, y)]; }
  void fillDepth(std::int32_t value);
  // True when no guard word of pixels or depth has changed.
  bool guardIntact() const;
  // Points the block's frame fields at this frame.
  void attach(SplatParams& p);

 private:
  int index(int x, int y) const { return (y + GUARD) * stride_ + x + GUARD; }
  int width_;
  int height_;
  int stride_;
  std::vector<std::uint32_t> pixels_;
  std::vector<std::int32_t> depth_;
  std::vector<std::int32_t> rowStart_;
};

// The system's sphere, rescale and disc coverage tables (every disc size),
// built once for the whole test run and never changed afterwards.
struct KernelTables {
  TestPlatform platform;
  LookupTables tables{platform};
  KernelTables();
  static const KernelTables& get();
  void attach(SplatParams& p, int radius) const;
};

// Four quadrant images of 256 x 256 texels.
struct QuadrantImages {
  std::array<std::vector<std::uint32_t>, 4> texels;
  explicit QuadrantImages(std::uint32_t fill = 0xFF808080);
  std::uint32_t& texel(int q, int i, int u) { return texels[q][i * QUADRANT_SIDE + u]; }
  void attach(SplatParams& p) const;
};

// A block describing a splat of `sizePixel` centred at (cx, cy), with the
// box, the sizes and the tables filled in as the set-up would, pointed at
// `frame` and, when given, at `images`.
SplatParams splatAt(int cx, int cy, int sizePixel);
SplatParams splatAt(int cx, int cy, int sizePixel, GuardedFrame& frame,
                    const QuadrantImages* images = nullptr);

}  // namespace qv::testing
