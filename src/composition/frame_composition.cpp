#include "composition/frame_composition.h"

#include <algorithm>
#include <cstdint>
#include <thread>

#include "composition/band_workers.h"
#include "frame/frame_buffer.h"
#include "frame/lookup_tables.h"
#include "ground/runtime_error.h"
#include "particles/draw_list.h"
#include "particles/particle_system.h"
#include "splat/brush.h"
#include "splat/brush_table.h"
#include "splat/kernel.h"

namespace qv {

namespace {

// How many splats ahead of the one being drawn the drawing asks for the
// frame rows it will blend into (splats land all over the frame, so nearly
// every one would otherwise wait for its rows), and how far ahead of the
// entry being set up its successors are asked for.
constexpr std::size_t PREFETCH_AHEAD = 12;
constexpr std::int32_t ENTRIES_AHEAD = 8;
// One thread draws the splats this many at a time, as they are set up, so
// that they are drawn while still at hand.
constexpr std::size_t DRAW_CHUNK = 256;

// The first and last pixel of each of the splat's rows within the band.
// Always inlined: as a function of its own the compiler takes it for one
// without effects and drops its calls.
[[gnu::always_inline]] inline void prefetchRows(const SplatParams& band, const SplatValues& v) {
  const int top = std::max(v.top, band.minRow);
  const int bottom = std::min(v.bottom, band.maxRow);
  const int left = std::max(v.left, 0);
  const int right = std::min(v.right, band.maxColumn);
  for (int r = top; r <= bottom; ++r) {
    const std::uint32_t* row = band.pixels + band.rowStart[r];
    __builtin_prefetch(row + left, 1);
    __builtin_prefetch(row + right, 1);
  }
}

int machineCores() {
  const unsigned n = std::thread::hardware_concurrency();
  return static_cast<int>(std::clamp(n, 1u, static_cast<unsigned>(MAX_COMPOSE_THREADS)));
}

}  // namespace

FrameComposer::FrameComposer(Platform& platform, SystemTable& systems, DrawList& drawList,
                             BrushTable& brushes, LookupTables& tables, FrameBuffer& frame, SplatSetup& splat)
    : platform_(platform),
      systems_(systems),
      drawList_(drawList),
      brushes_(brushes),
      tables_(tables),
      frame_(frame),
      splat_(splat),
      cores_(machineCores()) {}

FrameComposer::~FrameComposer() = default;

void FrameComposer::setThreads(int threads) {
  threads_ = threads == AUTOMATIC_THREADS ? AUTOMATIC_THREADS : std::clamp(threads, 1, MAX_COMPOSE_THREADS);
}

int FrameComposer::drawingThreads() const {
  const FrameBufferGeometry& g = frame_.geometry();
  int n = threads_;
  if (n == AUTOMATIC_THREADS) n = g.innerWidth >= AUTOMATIC_THREADS_MIN_WIDTH ? cores_ : 1;
  // Every band has at least one row.
  return std::max(std::min(n, g.innerHeight), 1);
}

void FrameComposer::renderFrame() {
  drawList_.buildDrawList(splat_.depthSortEnabled);
  frame_.beginHalfResFrame();
  if (frame_.needsClear() != 0) frame_.clearStep();
  frame_.fadeStep();
  // Only the ball kernels read the depth buffer, and only brushes that exist
  // now can draw this frame: without a ball brush the reset (a pass over a
  // buffer as large as the frame) cannot change a pixel.
  if (brushes_.anyBrushTestsDepth()) frame_.resetDepthBuffer();
  const FrameBufferGeometry& g = frame_.geometry();
  screenCentreX = g.innerWidth / 2;
  screenCentreY = g.innerHeight / 2;
  // The live geometry is the half-size one in half resolution.
  refreshSplatFrame();
  if (frameHookAfterParticles == 0 && frameHook) frameHook();
  drawEntries();
  frame_.endHalfResFrame();
  if (frameHookAfterParticles != 0 && frameHook) frameHook();
  frame_.present();
}

void FrameComposer::drawEntries() {
  const int bands = drawingThreads();
  if (static_cast<int>(bandParams_.size()) < bands) bandParams_.resize(static_cast<std::size_t>(bands));
  if (bands == 1) {
    SplatParams& whole = bandParams(0, 1);
    prepareEntries(DRAW_CHUNK, [&] { drawPrepared(whole); });
    return;
  }
  prepareEntries(SIZE_MAX, [] {});
  if (!workers_) workers_ = std::make_unique<BandWorkers>();
  auto job = [this, bands](int band) { drawPrepared(bandParams(band, bands)); };
  workers_->run(bands, job);
}

template <class DrawChunk>
void FrameComposer::prepareEntries(std::size_t chunk, DrawChunk&& drawChunk) {
  prepared_.clear();
  auto take = [&](const SplatValues& values, const Brush& brush, SplatShape shape) {
    // A brush without kernels reports its fatal error here, on this thread,
    // as soon as it would draw.
    if (brush.kindRecord.insideKernel == reportLinkDrawError) {
      static_cast<SplatValues&>(splat_.params) = values;
      splat_.drawPrepared(splat_.params, brush, shape);
    }
    prepared_.push_back(PreparedSplat{values, &brush, shape});
  };
  auto setUp = [&] {
    splat_.setUpQueued(take);
    if (prepared_.size() >= chunk) {
      drawChunk();
      prepared_.clear();
    }
  };
  const bool sorted = splat_.depthSortEnabled != 0;
  std::int32_t previousSystem = 0;
  for (std::int32_t k = 0; k < drawList_.drawCount; ++k) {
    // The entries come from memory while the ones before them are set up.
    if (k + ENTRIES_AHEAD < drawList_.drawCount) {
      __builtin_prefetch(drawList_.entries.data() + drawList_.order[k + ENTRIES_AHEAD].entryIndex);
    }
    DrawEntry& entry = drawList_.entries[drawList_.order[k].entryIndex];
    drawList_.currentEntry = &entry;
    splat_.currentEntry = &entry;
    if (k == 0 || entry.systemIndex != previousSystem) {
      previousSystem = entry.systemIndex;
      if (const ParticleSystem* s = systems_.system(entry.systemIndex)) {
        splat_.drawMode = s->drawMode;
        splat_.drawHook = s->drawHook;
      }
    }
    const std::uint32_t entryOpacity = entry.colour >> 24;
    const Brush* brush = &brushAt(entry.brush);
    for (int links = 0;; ++links) {
      const std::uint32_t tint = brush->useParticleColour != 0 ? entry.colour : NO_TINT;
      const auto alpha = static_cast<std::int32_t>((brush->colour >> 24) * entryOpacity / 255);
      if (splat_.queueSplat(*brush, tint, alpha, entry.position.x, entry.position.y, entry.position.z))
        setUp();
      if (brush->nextBrush == NO_NEXT_BRUSH || links == MAX_BRUSH_CHAIN_LINKS) break;
      brush = &brushAt(brush->nextBrush);
    }
    // An entry nearer than the near limit ends a sorted frame; every later
    // one is nearer still.
    if (sorted && entry.position.z < splat_.nearLimit()) break;
  }
  splat_.setUpQueued(take);
  drawChunk();
}

SplatParams& FrameComposer::bandParams(int band, int bands) {
  SplatParams& p = bandParams_[static_cast<std::size_t>(band)];
  p = splat_.params;
  const std::int32_t rows = p.maxRow + 1;
  p.minRow = rows * band / bands;
  p.maxRow = rows * (band + 1) / bands - 1;
  return p;
}

void FrameComposer::drawPrepared(SplatParams& p) const {
  const std::size_t count = prepared_.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (i + PREFETCH_AHEAD < count) prefetchRows(p, prepared_[i + PREFETCH_AHEAD].values);
    const PreparedSplat& s = prepared_[i];
    const SplatValues& v = s.values;
    if (v.bottom < p.minRow || v.top > p.maxRow) continue;
    static_cast<SplatValues&>(p) = v;
    splat_.drawPrepared(p, *s.brush, s.shape);
  }
}

const Brush& FrameComposer::brushAt(int index) {
  brushes_.selectBrush(index);
  const Brush* brush = brushes_.at(index);
  if (brush == nullptr) reportRuntimeError(platform_, errors::BALL_NOT_DEFINED);
  return *brush;
}

void FrameComposer::refreshSplatFrame() {
  const FrameBufferGeometry& g = frame_.geometry();
  SplatParams& p = splat_.params;
  p.pixels = g.pixels;
  p.rowStart = g.rowStart.empty() ? nullptr : g.rowStart.data();
  p.maxColumn = g.maxColumn;
  p.minRow = 0;
  p.maxRow = g.maxRow;
  p.depthBuffer = frame_.depthBuffer();
  p.backgroundColour = frame_.backgroundColour;
  p.sphereTable = tables_.sphereTable();
  p.discCoverage = tables_.discCoverageTables();
  p.platform = &platform_;
  splat_.frame.projectionScale = g.projectionScale;
  splat_.frame.screenCentreX = screenCentreX;
  splat_.frame.screenCentreY = screenCentreY;
  splat_.frame.rescaleTable = tables_.rescaleTable();
  splat_.frame.drawn = g.drawn;
}

void FrameComposer::setupSceneRender() {
  systems_.destroySystems(DESTROY_ALL_SYSTEMS);
  if (systems_.system(0) == nullptr) {
    systems_.createSystem(0);
  } else {
    systems_.selectSystem(0);
  }
  // Its destroySystems leaves the lone system 0 in place.
  releaseWorkingTables();
  tables_.buildSphereTable();
  tables_.buildRescaleTable();
  brushes_.selectBrush(0);
  brushes_.setupBrush(brushes_.current(), SCENE_POINT_BRUSH_KIND, SCENE_POINT_BRUSH_COLOUR, "");
  frame_.createFrameBuffers();
}

void FrameComposer::releaseWorkingTables() {
  frame_.releaseFrameBuffers();
  tables_.releaseRescaleTable();
  tables_.releaseSphereTable();
  tables_.releaseDiscCoverageTables();
  systems_.destroySystems(DESTROY_ALL_SYSTEMS);
  drawList_.freeDrawList();
  // Nothing of the freed frame or tables stays reachable from the block.
  SplatParams& p = splat_.params;
  p.pixels = nullptr;
  p.rowStart = nullptr;
  p.maxColumn = -1;
  p.maxRow = -1;
  p.depthBuffer = nullptr;
  p.sphereTable = nullptr;
  p.rescaleRow = nullptr;
  splat_.frame.rescaleTable = nullptr;
  splat_.frame.drawn = nullptr;
  splat_.currentEntry = nullptr;
}

}  // namespace qv
