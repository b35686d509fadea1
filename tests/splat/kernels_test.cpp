// The splat kernels: small cases of their rules, pixel by pixel, and pins of
// the exact output of every kernel over many random splats, reduced to one
// hash per kernel form. The values were recorded from the per-pixel
// kernels; a faster traversal or blend must reproduce every pixel (and every
// depth value of the ball) bit for bit. The splats cover sizes from one pixel
// to the largest box, discs, rings and targets, random opacity, fade, tint
// and background, splats wholly inside the frame and splats across its edges
// with the centre inside or outside. Every other splat of a clipped form is
// drawn in two bands of rows, as two drawing threads draw it, and must come
// out as drawn whole.

#include "splat/kernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "frame/frame_buffer.h"
#include "frame/lookup_tables.h"
#include "frame/pixel_ops.h"
#include "splat/coverage_mask.h"
#include "splat/kernel.h"
#include "splat/kernel_test_support.h"

namespace qv {
namespace {

using testing::GuardedFrame;
using testing::QuadrantImages;
using testing::splatAt;

// Large enough for the inside form of the largest box (radius 254).
constexpr int FRAME_SIDE = 520;
constexpr int SPLATS_PER_FORM = 140;

// Random texels; from a random column of each row on, the stop texel, as in a
// spot image. Stops inside rows too, so spot quadrants end unevenly.
QuadrantImages noisyImages(std::mt19937& rng, std::uint32_t stop) {
  QuadrantImages images;
  for (auto& image : images.texels) {
    for (int i = 0; i < QUADRANT_SIDE; ++i) {
      const int edge = static_cast<int>(rng() % 300);
      for (int u = 0; u < QUADRANT_SIDE; ++u) {
        std::uint32_t t = static_cast<std::uint32_t>(rng());
        if (t == 0 || t == 0x00FFFFFF) t = 1;
        if (rng() % 97 == 0) t = stop;
        image[i * QUADRANT_SIDE + u] = u >= edge ? stop : t;
      }
    }
  }
  return images;
}

enum class Family { Disc, Image, Ball, Spot };

struct PinnedForm {
  const char* name;
  Kernel kernel;
  bool clipped;
  Family family;
  std::uint32_t stop;
  std::uint64_t hash;
};

class KernelOutputPin : public ::testing::TestWithParam<PinnedForm> {};

struct Hasher {
  std::uint64_t h = 1469598103934665603ull;
  void add(std::uint32_t v) {
    for (int b = 0; b < 4; ++b) {
      h ^= (v >> (8 * b)) & 0xFF;
      h *= 1099511628211ull;
    }
  }
};

TEST_P(KernelOutputPin, EveryPixelAsRecorded) {
  const PinnedForm& form = GetParam();
  const LookupTables& tables = testing::KernelTables::get().tables;
  // Each form gets its own splats, seeded by its name.
  std::uint32_t seed = 7919u;
  for (const char* c = form.name; *c != 0; ++c) seed = seed * 31u + static_cast<unsigned char>(*c);
  std::mt19937 rng(seed);
  auto pick = [&](int lo, int hi) {
    return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1));
  };
  const QuadrantImages images = noisyImages(rng, form.stop);
  GuardedFrame frame(FRAME_SIDE, FRAME_SIDE);
  Hasher hasher;

  for (int n = 0; n < SPLATS_PER_FORM; ++n) {
    SplatParams p;
    // Mostly the sizes of a scene, some up to 40 pixels, a few of the largest.
    const int kind = pick(0, 19);
    p.sizeQuarter = kind == 0 ? pick(980, 1020) : kind < 8 ? pick(1, 160) : pick(1, 50);
    p.sizeHalf = (p.sizeQuarter + 1) >> 1;
    p.sizePixel = (p.sizeHalf + 1) >> 1;
    const int shape = pick(0, 2);  // disc, ring, target
    p.innerSize1 = shape >= 1 && p.sizeQuarter >= 3 ? pick(1, p.sizeQuarter - 2) : 0;
    p.innerSize2 = shape == 2 && p.innerSize1 >= 3 ? pick(1, p.innerSize1 - 2) : 0;
    p.radius = p.sizePixel - 1;
    p.tinyBall = p.sizePixel == 2 ? 1 : 0;
    p.alpha = pick(0, 3) == 0 ? 255 : pick(1, 255);
    p.fog = pick(0, 3) == 0 ? 255 : pick(1, 255);
    p.tint = pick(0, 2) == 0 ? NO_TINT : static_cast<std::uint32_t>(rng());
    p.brushColour = static_cast<std::uint32_t>(rng());
    p.backgroundColour = static_cast<std::uint32_t>(rng());
    p.ballDepth = pick(-4000, 4000);

    const int r = p.radius;
    auto place = [&]() {
      if (!form.clipped) return pick(r, FRAME_SIDE - 1 - r);
      switch (pick(0, 2)) {
        case 0: return pick(-r, r);
        case 1: return pick(FRAME_SIDE - 1 - r, FRAME_SIDE - 1 + r);
        default: return pick(std::min(r, FRAME_SIDE - 1), std::max(FRAME_SIDE - 1 - r, 0));
      }
    };
    p.centreX = place();
    p.centreY = place();
    p.left = p.centreX - r;
    p.right = p.centreX + r;
    p.top = p.centreY - r;
    p.bottom = p.centreY + r;
    frame.attach(p);
    p.sphereTable = tables.sphereTable();
    p.rescaleRow = tables.rescaleRow(r);
    p.discCoverage = tables.discCoverageTables();
    if (form.family != Family::Disc) images.attach(p);

    // Random pixels and depths under the box and one pixel around it.
    const int x0 = std::max(p.left - 1, 0), x1 = std::min(p.right + 1, FRAME_SIDE - 1);
    const int y0 = std::max(p.top - 1, 0), y1 = std::min(p.bottom + 1, FRAME_SIDE - 1);
    const bool farDepths = pick(0, 3) == 0;
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) {
        frame.at(x, y) = static_cast<std::uint32_t>(rng());
        frame.depthAt(x, y) = farDepths ? 0x1F1F1F1F : p.ballDepth + pick(-3000, 3000);
      }
    }
    if (form.clipped && n % 2 == 1) {
      // Split at a row the box straddles or touches; no draw of the generator.
      const int split = std::clamp(p.top + n % (p.bottom - p.top + 2), 0, FRAME_SIDE);
      for (auto [first, last] : {std::pair(0, split - 1), std::pair(split, FRAME_SIDE - 1)}) {
        SplatParams band = p;
        band.minRow = first;
        band.maxRow = last;
        if (band.bottom >= first && band.top <= last) form.kernel(band);
      }
    } else {
      form.kernel(p);
    }
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) {
        hasher.add(frame.at(x, y));
        if (form.family == Family::Ball) hasher.add(static_cast<std::uint32_t>(frame.depthAt(x, y)));
      }
    }
  }
  EXPECT_TRUE(frame.guardIntact());
  EXPECT_EQ(hasher.h, form.hash) << form.name;
}

INSTANTIATE_TEST_SUITE_P(
    AllKernels, KernelOutputPin,
    ::testing::Values(
        PinnedForm{"Disc0Inside", DiscKernel0Inside, false, Family::Disc, 0u, 6290130105873843123ull},
        PinnedForm{"Disc0Clipped", DiscKernel0Clipped, true, Family::Disc, 0u, 14292331946019358725ull},
        PinnedForm{"Disc2Inside", DiscKernel2Inside, false, Family::Disc, 0u, 18211541882700699287ull},
        PinnedForm{"Disc2Clipped", DiscKernel2Clipped, true, Family::Disc, 0u, 3609126448286516366ull},
        PinnedForm{"Disc3Inside", DiscKernel3Inside, false, Family::Disc, 0u, 12322427213081813725ull},
        PinnedForm{"Disc3Clipped", DiscKernel3Clipped, true, Family::Disc, 0u, 12727141749360675599ull},
        PinnedForm{"Disc4Inside", DiscKernel4Inside, false, Family::Disc, 0u, 11011859985221546652ull},
        PinnedForm{"Disc4Clipped", DiscKernel4Clipped, true, Family::Disc, 0u, 17205150729268103094ull},
        PinnedForm{"BallInside", BallKernelInside, false, Family::Ball, 0u, 7634364313727033135ull},
        PinnedForm{"BallClipped", BallKernelClipped, true, Family::Ball, 0u, 5162170408344563655ull},
        PinnedForm{"Image0Inside", ImageKernel0Inside, false, Family::Image, 0u, 14202366893352580843ull},
        PinnedForm{"Image0Clipped", ImageKernel0Clipped, true, Family::Image, 0u, 3892417545986880981ull},
        PinnedForm{"Image2Inside", ImageKernel2Inside, false, Family::Image, 0u, 3929458828152740154ull},
        PinnedForm{"Image2Clipped", ImageKernel2Clipped, true, Family::Image, 0u, 166390193464237627ull},
        PinnedForm{"Image3Inside", ImageKernel3Inside, false, Family::Image, 0u, 9490786019098479012ull},
        PinnedForm{"Image3Clipped", ImageKernel3Clipped, true, Family::Image, 0u, 11631387792749969058ull},
        PinnedForm{"Image4Inside", ImageKernel4Inside, false, Family::Image, 0u, 9214264969748684339ull},
        PinnedForm{"Image4Clipped", ImageKernel4Clipped, true, Family::Image, 0u, 12691167854472625684ull},
        PinnedForm{"Spot0Inside", SpotKernel0Inside, false, Family::Spot, 0u, 11244952500515234949ull},
        PinnedForm{"Spot0Clipped", SpotKernel0Clipped, true, Family::Spot, 0u, 8656376563003812246ull},
        PinnedForm{"Spot1Inside", SpotKernel1Inside, false, Family::Spot, 0u, 13011062704132988954ull},
        PinnedForm{"Spot1Clipped", SpotKernel1Clipped, true, Family::Spot, 0u, 10195387088153033646ull},
        PinnedForm{"Spot3Inside", SpotKernel3Inside, false, Family::Spot, 0u, 8977337316287330234ull},
        PinnedForm{"Spot3Clipped", SpotKernel3Clipped, true, Family::Spot, 0u, 12554376656750560606ull},
        PinnedForm{"Spot4Inside", SpotKernel4Inside, false, Family::Spot, 0x00FFFFFFu,
                   9416712499314922942ull},
        PinnedForm{"Spot4Clipped", SpotKernel4Clipped, true, Family::Spot, 0x00FFFFFFu,
                   2257319903453008533ull}),
    [](const ::testing::TestParamInfo<PinnedForm>& param) { return std::string(param.param.name); });

// Every pixel of `frame` other than those listed keeps `fill`.
void expectOnlyChanged(const GuardedFrame& frame, std::uint32_t fill,
                       const std::vector<std::pair<int, int>>& changed) {
  for (int y = 0; y < frame.height(); ++y) {
    for (int x = 0; x < frame.width(); ++x) {
      bool listed = false;
      for (auto [cx, cy] : changed) listed = listed || (cx == x && cy == y);
      if (!listed) {
        EXPECT_EQ(frame.at(x, y), fill) << x << "," << y;
      }
    }
  }
  EXPECT_TRUE(frame.guardIntact());
}

// A texel that tells quadrant, source row and source column apart.
std::uint32_t marker(int q, int i, int u) {
  return 0xFF000000u | static_cast<std::uint32_t>(40 + 50 * q) << 16 | static_cast<std::uint32_t>(i) << 8 |
         static_cast<std::uint32_t>(u);
}

QuadrantImages markedImages() {
  QuadrantImages images;
  for (int q = 0; q < 4; ++q)
    for (int i = 0; i < 256; ++i)
      for (int u = 0; u < 256; ++u) images.texel(q, i, u) = marker(q, i, u);
  return images;
}

TEST(BallKernel, HiddenPixelsKeepColourAndDepth) {
  QuadrantImages images = markedImages();
  GuardedFrame frame(16, 16, 0x112233);
  frame.fillDepth(-1000);
  frame.depthAt(8, 8) = DEPTH_RESET_VALUE;
  SplatParams p = splatAt(8, 8, 4, frame, &images);
  p.ballDepth = 100;
  BallKernelInside(p);
  // Centre: hq = (4 * 2044) >> 8 = 31, slope 0, so the depth difference is
  // floored at -31 and the texel is drawn whole.
  EXPECT_EQ(frame.at(8, 8), marker(0, 0, 0));
  EXPECT_EQ(frame.depthAt(8, 8), 69);
  expectOnlyChanged(frame, 0x112233, {{8, 8}});
  EXPECT_EQ(std::tuple(frame.depthAt(7, 8), frame.depthAt(8, 9)), std::tuple(-1000, -1000));
  // Equal depth is hidden too.
  frame.at(8, 8) = 0x112233;
  BallKernelInside(p);
  EXPECT_EQ(frame.at(8, 8), 0x112233u);
}

TEST(BallKernel, TinyBallDrawsTheCentreAndItsFourNeighbours) {
  QuadrantImages images = markedImages();
  GuardedFrame frame(16, 16, 0);
  SplatParams p = splatAt(5, 5, 2, frame, &images);
  p.ballDepth = 0;
  BallKernelInside(p);
  EXPECT_EQ(std::tuple(frame.at(5, 5), frame.at(4, 5), frame.at(6, 5), frame.at(5, 4), frame.at(5, 6)),
            std::tuple(marker(0, 0, 0), marker(0, 0, 255), marker(1, 0, 255), marker(0, 255, 0),
                       marker(2, 255, 0)));
  EXPECT_EQ(std::tuple(frame.depthAt(5, 5), frame.depthAt(6, 5), frame.depthAt(5, 6), frame.depthAt(4, 4)),
            std::tuple(-15, -1, -1, DEPTH_RESET_VALUE));
  expectOnlyChanged(frame, 0, {{5, 5}, {4, 5}, {6, 5}, {5, 4}, {5, 6}});
}

TEST(SpotKernels, AQuadrantStopsAtItsStopTexelWhileTheOthersGoOn) {
  // Radius 4: distances 0 ... 4 read texels 0, 64, 128, 191, 255.
  QuadrantImages images(0xFF101010);
  images.texel(0, 128, 128) = 0;                            // q0, row distance 2, column distance 2
  for (int q = 0; q < 4; ++q) images.texel(q, 64, 64) = 0;  // all stop at k = 1, j = 1
  GuardedFrame frame(16, 16, 0);
  SplatParams p = splatAt(8, 8, 5, frame, &images);
  SpotKernel0Inside(p);
  for (int y = 4; y <= 12; ++y) {
    for (int x = 4; x <= 12; ++x) {
      const int k = y < 8 ? 8 - y : y - 8;
      const int j = x < 8 ? 8 - x : x - 8;
      bool drawn = true;
      if (k == 1 && j >= 1) drawn = false;
      if (y == 6 && x <= 6) drawn = false;
      EXPECT_EQ(frame.at(x, y), drawn ? 0x101010u : 0u) << x << "," << y;
    }
  }
  EXPECT_TRUE(frame.guardIntact());
}

// A disc splat of radius sizeQuarter (quarter pixels) as the set-up makes it.
SplatParams discAt(int cx, int cy, int sizeQuarter) {
  SplatParams p = splatAt(cx, cy, (sizeQuarter + 3) >> 2);
  p.sizeQuarter = sizeQuarter;
  p.brushColour = 0xFF4080C0;
  return p;
}

// The coverage the tables give radius v at distances (k, j), 0 beyond them.
int tableCoverage(const SplatParams& p, int v, int k, int j) {
  CoverageMask m;
  selectCoverageMask(m, p, v);
  return k < m.words && j < m.words ? coverageAt(m, k, j) : 0;
}

int distance(int a, int b) { return a < b ? b - a : a - b; }

TEST(DiscKernels, SmallDiscsEndEachRowWhereTheWeighedCoverageFallsToZero) {
  // Boxes of radius 1 to 5 (the small ones drawn as a whole box, and the
  // first drawn row by row). At a low opacity the soft rim weighs 0 and ends
  // its row; the pixels beyond keep their word, alpha byte included.
  constexpr std::uint32_t OLD = 0xFF123456;
  for (int size = 5; size <= 20; ++size) {
    for (int alpha : {255, 90, 3}) {
      GuardedFrame frame(16, 16, OLD);
      SplatParams p = discAt(7, 8, size);
      frame.attach(p);
      p.alpha = alpha;
      DiscKernel0Inside(p);
      const std::uint32_t colour = p.brushColour;
      for (int y = 0; y < 16; ++y) {
        const int k = distance(y, 8);
        int end = 0;  // first distance of the row that weighs 0
        while (end <= p.radius && k <= p.radius && tableCoverage(p, size, k, end) * alpha / 255 != 0) ++end;
        for (int x = 0; x < 16; ++x) {
          const int j = distance(x, 7);
          const int w = tableCoverage(p, size, k, j) * alpha / 255;
          const std::uint32_t expected = j >= end ? OLD : w == 255 ? colour : lerpChannels(OLD, colour, w);
          EXPECT_EQ(frame.at(x, y), expected)
              << "size " << size << " alpha " << alpha << " at " << x << "," << y;
        }
      }
      EXPECT_TRUE(frame.guardIntact());
    }
  }
}

}  // namespace
}  // namespace qv
