// The clipped form of every kernel against its inside form: a splat drawn
// clipped into a small frame must give exactly what the inside form draws
// into a large frame whose window the small frame is, and must leave every
// word around the small frame alone. Drawn in two bands of rows, as two
// threads draw it, the splat must come out as drawn whole.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <utility>

#include "frame/frame_buffer.h"
#include "splat/kernel.h"
#include "splat/kernel_test_support.h"
#include "splat/kernels.h"

namespace qv {
namespace {

using testing::GuardedFrame;
using testing::QuadrantImages;
using testing::splatAt;

struct KernelPair {
  const char* name;
  Kernel inside;
  Kernel clipped;
  bool disc;
  std::uint32_t stop;  // spots: the texel that stops a quadrant's row
};

constexpr KernelPair PAIRS[] = {
    {"Ball", BallKernelInside, BallKernelClipped, false, 0u},
    {"Image0", ImageKernel0Inside, ImageKernel0Clipped, false, 0u},
    {"Image2", ImageKernel2Inside, ImageKernel2Clipped, false, 0u},
    {"Image3", ImageKernel3Inside, ImageKernel3Clipped, false, 0u},
    {"Image4", ImageKernel4Inside, ImageKernel4Clipped, false, 0u},
    {"Spot0", SpotKernel0Inside, SpotKernel0Clipped, false, 0u},
    {"Spot1", SpotKernel1Inside, SpotKernel1Clipped, false, 0u},
    {"Spot3", SpotKernel3Inside, SpotKernel3Clipped, false, 0u},
    {"Spot4", SpotKernel4Inside, SpotKernel4Clipped, false, 0x00FFFFFFu},
    {"Disc0", DiscKernel0Inside, DiscKernel0Clipped, true, 0u},
    {"Disc2", DiscKernel2Inside, DiscKernel2Clipped, true, 0u},
    {"Disc3", DiscKernel3Inside, DiscKernel3Clipped, true, 0u},
    {"Disc4", DiscKernel4Inside, DiscKernel4Clipped, true, 0u},
};

constexpr int SMALL = 16;
constexpr int MAX_SIZE = 40;             // pixel radius + 1
constexpr int OFFSET = MAX_SIZE + 48;    // the small frame's place in the large
constexpr int LARGE = SMALL + 2 * OFFSET;

// Random texels; from a random column of each row on, the stop texel, as in
// a spot image, whose texels beyond the spot's edge are all stops. (A stop
// inside the spot would make the forms differ by design: the clipped form
// never reads the texels of columns left out of the frame.)
QuadrantImages noisyImages(std::mt19937& rng, std::uint32_t stop) {
  QuadrantImages images;
  for (auto& image : images.texels) {
    for (int i = 0; i < QUADRANT_SIDE; ++i) {
      const int edge = static_cast<int>(rng() % 300);
      for (int u = 0; u < QUADRANT_SIDE; ++u) {
        std::uint32_t t = static_cast<std::uint32_t>(rng());
        if (t == 0 || t == 0x00FFFFFF) t = 1;
        image[i * QUADRANT_SIDE + u] = u >= edge ? stop : t;
      }
    }
  }
  return images;
}

class KernelClipping : public ::testing::TestWithParam<KernelPair> {};

TEST_P(KernelClipping, ClippedFormMatchesInsideFormWithinTheFrame) {
  const KernelPair& pair = GetParam();
  std::mt19937 rng(20240611);
  const QuadrantImages images = noisyImages(rng, pair.stop);
  auto pick = [&](int lo, int hi) { return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1)); };

  for (int round = 0; round < 150; ++round) {
    GuardedFrame small(SMALL, SMALL);
    GuardedFrame large(LARGE, LARGE);
    for (int y = 0; y < LARGE; ++y) {
      for (int x = 0; x < LARGE; ++x) {
        large.at(x, y) = static_cast<std::uint32_t>(rng());
        large.depthAt(x, y) = rng() % 4 == 0 ? DEPTH_RESET_VALUE : pick(-3000, 3000);
      }
    }
    for (int y = 0; y < SMALL; ++y) {
      for (int x = 0; x < SMALL; ++x) {
        small.at(x, y) = large.at(x + OFFSET, y + OFFSET);
        small.depthAt(x, y) = large.depthAt(x + OFFSET, y + OFFSET);
      }
    }

    const int size = round < 10 ? 1 + round : pick(1, MAX_SIZE);
    const int reach = size + 4;
    SplatParams p = splatAt(pick(-reach, SMALL - 1 + reach), pick(-reach, SMALL - 1 + reach), size);
    images.attach(p);
    p.alpha = pick(0, 255);
    p.fog = rng() % 3 == 0 ? 255 : pick(0, 255);
    p.tint = rng() % 2 == 0 ? NO_TINT : static_cast<std::uint32_t>(rng());
    p.brushColour = static_cast<std::uint32_t>(rng());
    p.backgroundColour = static_cast<std::uint32_t>(rng());
    p.ballDepth = pick(-3000, 3000);
    if (pair.disc) {
      p.sizeQuarter = size == 1 ? pick(1, 4) : pick(4 * size - 3, 4 * size);
      if (p.sizeQuarter >= 6 && rng() % 2 == 0) {
        p.innerSize1 = pick(1, p.sizeQuarter - 2);
        if (p.innerSize1 >= 3 && rng() % 2 == 0) p.innerSize2 = pick(1, p.innerSize1 - 2);
      }
    }

    // The set-up gives a one-pixel splat inside the frame to the inside form,
    // which alone has the one-pixel rules; any larger box goes through the
    // clipped form here, inside the frame or not.
    const bool onePixelInside = size == 1 && p.left >= 0 && p.top >= 0 && p.right < SMALL && p.bottom < SMALL;
    SplatParams clipped = p;
    small.attach(clipped);
    (onePixelInside ? pair.inside : pair.clipped)(clipped);

    SplatParams moved = p;
    moved.centreX += OFFSET;
    moved.centreY += OFFSET;
    moved.left += OFFSET;
    moved.right += OFFSET;
    moved.top += OFFSET;
    moved.bottom += OFFSET;
    GuardedFrame banded = large;
    SplatParams inside = moved;
    large.attach(inside);
    pair.inside(inside);

    // Split at a row the box straddles (or just touches).
    const int split = pick(moved.top, moved.bottom + 1);
    for (auto [first, last] : {std::pair(0, split - 1), std::pair(split, LARGE - 1)}) {
      if (moved.bottom < first || moved.top > last) continue;
      SplatParams band = moved;
      banded.attach(band);
      band.minRow = first;
      band.maxRow = last;
      (moved.top >= first && moved.bottom <= last ? pair.inside : pair.clipped)(band);
    }

    SCOPED_TRACE(::testing::Message() << pair.name << " round " << round << ": centre " << p.centreX << ","
                                      << p.centreY << " size " << size << " quarter " << p.sizeQuarter);
    ASSERT_TRUE(small.guardIntact());
    for (int y = 0; y < SMALL; ++y) {
      for (int x = 0; x < SMALL; ++x) {
        ASSERT_EQ(small.at(x, y), large.at(x + OFFSET, y + OFFSET))
            << "pixel " << x << "," << y;
        ASSERT_EQ(small.depthAt(x, y), large.depthAt(x + OFFSET, y + OFFSET))
            << "depth " << x << "," << y;
      }
    }
    for (int y = 0; y < LARGE; ++y) {
      for (int x = 0; x < LARGE; ++x) {
        ASSERT_EQ(banded.at(x, y), large.at(x, y)) << "banded at " << split << ": pixel " << x << "," << y;
        ASSERT_EQ(banded.depthAt(x, y), large.depthAt(x, y)) << "banded at " << split << ": depth " << x << "," << y;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(EveryKernel, KernelClipping, ::testing::ValuesIn(PAIRS),
                         [](const ::testing::TestParamInfo<KernelPair>& param) { return param.param.name; });

}  // namespace
}  // namespace qv
