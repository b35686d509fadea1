// The overlays' per-frame cost (the logo and the legend added onto a full-HD
// frame), and the load-time cost of an image brush from a 511 x 511 picture.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "frame/frame_buffer.h"
#include "frame/overlay.h"
#include "frame/picture_layer.h"
#include "frame/picture_test_support.h"
#include "ground/memory_blocks.h"
#include "splat/brush.h"
#include "splat/brush_picture.h"

namespace {

std::unique_ptr<qv::Overlay> overlayOf(qv::Platform& platform, int w, int h) {
  auto o = std::make_unique<qv::Overlay>();
  o->width = w;
  o->height = h;
  o->pixels.allocate(platform, static_cast<std::size_t>(w) * h, qv::ALIGNMENT_16, qv::FILL_NONE);
  for (int i = 0; i < w * h; ++i)
    o->pixels[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
  return o;
}

void BM_DrawLogoAndLegend(benchmark::State& state) {
  qv::testing::TestPlatform platform;
  qv::FrameBuffer fb(platform);
  fb.setFrameSize(1920, 1080);
  fb.createFrameBuffers();
  auto logo = overlayOf(platform, 159, 12);
  auto legend = overlayOf(platform, 553, 13);
  for (auto _ : state) {
    qv::placeFromRight(*logo, fb.geometry(), 32, 8, qv::OVERLAY_ADD);
    qv::drawOverlay(*logo, fb.geometry());
    qv::placeFromLeft(*legend, fb.geometry(), 24, 8, qv::OVERLAY_ADD);
    qv::drawOverlay(*legend, fb.geometry());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * (159 * 12 + 553 * 13));
}
BENCHMARK(BM_DrawLogoAndLegend);

void BM_LoadBrushPicture511(benchmark::State& state) {
  qv::testing::TestPlatform platform;
  platform.addResource(
      "FLARE", qv::testing::BINARYDATA_TYPE,
      qv::testing::rawPicture(511, 511, [](int x, int y) { return 0xFF000000u | (x * 131 + y); }));
  qv::PictureLayer pictures(platform);
  qv::Brush brush;
  brush.kind = 0x40002;
  brush.colour = 0xFFFFC080;
  for (auto& image : brush.quadrantImages)
    image.allocate(platform, qv::IMAGE_TEXELS, qv::IMAGE_ALIGNMENT, qv::FILL_ZERO);
  for (auto _ : state) {
    qv::loadBrushPicture(pictures, brush, "FLARE");
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_LoadBrushPicture511)->Unit(benchmark::kMillisecond);

}  // namespace
