// Throughput of the drawing kernels: one splat per iteration on a 640 x 480
// frame, inside and clipped, at a few pixel radii. Reported as splats and
// box pixels per second.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "splat/kernel.h"
#include "splat/kernel_test_support.h"
#include "splat/kernels.h"

namespace qv {
namespace {

using testing::GuardedFrame;
using testing::QuadrantImages;
using testing::splatAt;

constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;

const QuadrantImages& spotImages() {
  static const QuadrantImages images(0xFF406080);
  return images;
}

void runKernel(benchmark::State& state, Kernel kernel, bool clipped, bool disc, int inner) {
  GuardedFrame frame(WIDTH, HEIGHT, 0x102030);
  const int size = static_cast<int>(state.range(0));
  // Clipped splats straddle the left edge, so half their box is drawn.
  const int cx = clipped ? 0 : WIDTH / 2;
  SplatParams base = splatAt(cx, HEIGHT / 2, size);
  frame.attach(base);
  spotImages().attach(base);
  base.alpha = 200;
  base.fog = 230;
  base.tint = 0x80C0FF;
  base.brushColour = 0xFF80FF40;
  base.ballDepth = 0;
  if (disc) {
    base.sizeQuarter = 4 * size;
    base.innerSize1 = inner ? 2 * size : 0;
  }
  std::int32_t n = 0;
  for (auto _ : state) {
    SplatParams p = base;
    // Each ball a little nearer than the last, so none is hidden.
    p.ballDepth = 300000000 - 300 * (n++ % 1000000);
    kernel(p);
    benchmark::ClobberMemory();
  }
  const std::int64_t side = 2 * size - 1;
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * side * side * 4);
}

#define QV_KERNEL_BENCH(NAME, FN, CLIPPED, DISC, INNER)                              \
  void NAME(benchmark::State& state) { runKernel(state, FN, CLIPPED, DISC, INNER); } \
  BENCHMARK(NAME)->Arg(2)->Arg(8)->Arg(32)

QV_KERNEL_BENCH(BM_ImageKernel0Inside, ImageKernel0Inside, false, false, 0);
QV_KERNEL_BENCH(BM_ImageKernel2Inside, ImageKernel2Inside, false, false, 0);
QV_KERNEL_BENCH(BM_ImageKernel2Clipped, ImageKernel2Clipped, true, false, 0);
QV_KERNEL_BENCH(BM_BallKernelInside, BallKernelInside, false, false, 0);
QV_KERNEL_BENCH(BM_SpotKernel0Inside, SpotKernel0Inside, false, false, 0);
QV_KERNEL_BENCH(BM_SpotKernel1Inside, SpotKernel1Inside, false, false, 0);
QV_KERNEL_BENCH(BM_SpotKernel0Clipped, SpotKernel0Clipped, true, false, 0);
QV_KERNEL_BENCH(BM_DiscKernel0Inside, DiscKernel0Inside, false, true, 0);
QV_KERNEL_BENCH(BM_DiscKernel2Inside, DiscKernel2Inside, false, true, 0);
QV_KERNEL_BENCH(BM_DiscKernel2InsideRing, DiscKernel2Inside, false, true, 1);
QV_KERNEL_BENCH(BM_DiscKernel4Clipped, DiscKernel4Clipped, true, true, 0);

}  // namespace
}  // namespace qv
