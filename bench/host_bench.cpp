// Costs of the host pieces a rendered frame passes through: the per-frame
// input take and meter update, the copy into the headless window, and
// writing a full-HD frame as PNG, PPM and raw video.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "ground/clock.h"
#include "ground/input_state.h"
#include "hosts/headless/headless_platform.h"
#include "hosts/headless/image_output.h"

namespace qv {
namespace {

constexpr int W = 1920;
constexpr int H = 1080;

std::vector<std::uint32_t> testFrame() {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(W) * H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      pixels[static_cast<std::size_t>(y) * W + x] = 0xFF000000u |
                                                    static_cast<std::uint32_t>(x * 7 ^ y * 3) << 8 |
                                                    static_cast<std::uint32_t>((x + y) & 0xFF);
  return pixels;
}

void BM_TakeInputEvents(benchmark::State& state) {
  InputState input;
  for (auto _ : state) {
    input.recordKeyDown(VKEY_UP);
    benchmark::DoNotOptimize(input.takeInputEvents());
  }
}
BENCHMARK(BM_TakeInputEvents);

void BM_FrameTiming(benchmark::State& state) {
  HeadlessPlatform platform(W, H, {}, nullptr);
  FrameClock clock(platform);
  clock.initFrameRateMeter(10);
  for (auto _ : state) {
    clock.beginFrameTiming();
    platform.advanceClock(1000);
    clock.endFrameTiming();
    clock.paceFrame(25);
    benchmark::DoNotOptimize(clock.framesPerSecond());
  }
}
BENCHMARK(BM_FrameTiming);

void BM_PresentFullHd(benchmark::State& state) {
  HeadlessPlatform platform(W, H, {}, nullptr);
  const std::vector<std::uint32_t> pixels = testFrame();
  const FrameView view{pixels.data(), W, H, W, true};
  for (auto _ : state) {
    platform.present(view, 0, 0, W, H);
    benchmark::DoNotOptimize(platform.window().rgb.data());
  }
  state.SetBytesProcessed(state.iterations() * W * H * 4);
}
BENCHMARK(BM_PresentFullHd)->Unit(benchmark::kMillisecond);

RgbImage presentedFrame() {
  HeadlessPlatform platform(W, H, {}, nullptr);
  const std::vector<std::uint32_t> pixels = testFrame();
  platform.present(FrameView{pixels.data(), W, H, W, true}, 0, 0, W, H);
  return platform.window();
}

void BM_EncodePngFullHd(benchmark::State& state) {
  const RgbImage frame = presentedFrame();
  for (auto _ : state) benchmark::DoNotOptimize(encodePng(frame));
}
BENCHMARK(BM_EncodePngFullHd)->Unit(benchmark::kMillisecond);

void BM_EncodePpmFullHd(benchmark::State& state) {
  const RgbImage frame = presentedFrame();
  for (auto _ : state) benchmark::DoNotOptimize(encodePpm(frame));
}
BENCHMARK(BM_EncodePpmFullHd)->Unit(benchmark::kMillisecond);

void BM_RawVideoFullHd(benchmark::State& state) {
  const RgbImage frame = presentedFrame();
  std::FILE* sink = std::fopen("/dev/null", "wb");
  RawVideoWriter video(sink);
  for (auto _ : state) benchmark::DoNotOptimize(video.writeFrame(frame));
  std::fclose(sink);
}
BENCHMARK(BM_RawVideoFullHd)->Unit(benchmark::kMillisecond);

void BM_ContactSheetCell(benchmark::State& state) {
  const RgbImage frame = presentedFrame();
  for (auto _ : state) benchmark::DoNotOptimize(resizeByArea(frame, 240, 135));
}
BENCHMARK(BM_ContactSheetCell)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qv
