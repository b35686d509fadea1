// The per-frame buffer work at full-HD and 4K sizes, each beside the plain
// memory operation of the same size measured in the same run: a clear against
// memset, the fades and the half-size doubling against memcpy.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "frame/frame_buffer.h"
#include "ground/platform.h"

namespace {

class BenchPlatform : public qv::Platform {
 public:
  void showRuntimeError(std::string_view) override {}
  std::uint64_t clockTicks() override { return 0; }
  void sleepMilliseconds(std::uint32_t) override {}
  int startTimer(int, std::uint32_t) override { return 1; }
  int stopTimer(int) override { return 1; }
  bool timerFired(int) override { return false; }
  int screenWidth() override { return 1920; }
  int screenHeight() override { return 1080; }
  void present(const qv::FrameView&, int, int, int, int) override {}
  std::span<const std::uint8_t> findResource(std::string_view, int) override { return {}; }
  std::span<const std::uint8_t> findResource(std::string_view, std::string_view) override { return {}; }
  bool decodePicture(std::span<const std::uint8_t>, qv::DecodedPicture&) override { return false; }
  void freePicturePixels(qv::DecodedPicture&) override {}
  bool scalePicture(const qv::DecodedPicture&, int, int, qv::DecodedPicture&) override { return false; }
};

struct Frame {
  BenchPlatform platform;
  qv::FrameBuffer fb{platform};
  Frame(int w, int h) {
    fb.setFrameSize(w, h);
    fb.createFrameBuffers();
    const auto& g = fb.geometry();
    for (std::size_t i = 0; i < static_cast<std::size_t>(w) * h; ++i) {
      g.pixels[i] = static_cast<std::uint32_t>(i * 2654435761u);
    }
    fb.clearStep();  // the first clear after a geometry change is the full one
  }
};

void setBytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0) * state.range(1) *
                          4);
}

void BM_Memset(benchmark::State& state) {
  std::vector<std::uint32_t> buffer(static_cast<std::size_t>(state.range(0) * state.range(1)));
  for (auto _ : state) {
    std::memset(buffer.data(), 0, buffer.size() * 4);
    benchmark::ClobberMemory();
  }
  setBytes(state);
}

void BM_Memcpy(benchmark::State& state) {
  std::vector<std::uint32_t> from(static_cast<std::size_t>(state.range(0) * state.range(1)), 0x123456);
  std::vector<std::uint32_t> to(from.size());
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size() * 4);
    benchmark::ClobberMemory();
  }
  setBytes(state);
}

void BM_ClearStep(benchmark::State& state) {
  Frame f(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    f.fb.clearStep();
    benchmark::ClobberMemory();
  }
  setBytes(state);
}

void BM_ClearStepColoured(benchmark::State& state) {
  Frame f(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  f.fb.backgroundColour = 0xFF102030;
  for (auto _ : state) {
    f.fb.clearStep();
    benchmark::ClobberMemory();
  }
  setBytes(state);
}

void runFade(benchmark::State& state, int trail, std::uint32_t background) {
  Frame f(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  f.fb.trail = trail;
  f.fb.backgroundColour = background;
  for (auto _ : state) {
    f.fb.fadeStep();
    benchmark::ClobberMemory();
  }
  setBytes(state);
}

void BM_FadeHalfWayToBackground(benchmark::State& state) { runFade(state, qv::TRAIL_HALF_FADE, 0xFF000000); }
void BM_FadeHalfWayToBlack(benchmark::State& state) { runFade(state, qv::TRAIL_HALF_FADE, 0); }
void BM_FadeStep16(benchmark::State& state) { runFade(state, 16, 0xFF000000); }

// One half-size frame without drawing: the swap in, and the swap back with the
// doubling into the full buffer.
void BM_HalfResDoubling(benchmark::State& state) {
  Frame f(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  f.fb.halfResRequested = 1;
  f.fb.beginHalfResFrame();
  f.fb.clearStep();
  f.fb.endHalfResFrame();
  for (auto _ : state) {
    f.fb.beginHalfResFrame();
    f.fb.endHalfResFrame();
    benchmark::ClobberMemory();
  }
  setBytes(state);
}

#define QV_FRAME_SIZES ->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_Memset) QV_FRAME_SIZES;
BENCHMARK(BM_ClearStep) QV_FRAME_SIZES;
BENCHMARK(BM_ClearStepColoured) QV_FRAME_SIZES;
BENCHMARK(BM_Memcpy) QV_FRAME_SIZES;
BENCHMARK(BM_FadeHalfWayToBackground) QV_FRAME_SIZES;
BENCHMARK(BM_FadeHalfWayToBlack) QV_FRAME_SIZES;
BENCHMARK(BM_FadeStep16) QV_FRAME_SIZES;
BENCHMARK(BM_HalfResDoubling) QV_FRAME_SIZES;

}  // namespace
