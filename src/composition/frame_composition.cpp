#include "composition/frame_composition.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <utility>

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
// A draw list filled in parts is filled this many entries ahead of their
// set-up, so that they are set up while still at hand.
constexpr std::int32_t FILL_CHUNK = 256;
// How many frames' splat lists each drawing thread keeps in turn (see
// Share::earlierBands); with fewer the set-up waits on the other core's
// cache, more buy nothing measurable.
constexpr int LIST_SETS = 6;

// The first pixel of each of the splat's rows within the band (most splats
// are a few pixels across). Always inlined: as a function of its own the
// compiler takes it for one without effects and drops its calls.
[[gnu::always_inline]] inline void prefetchRows(const SplatParams& band, const PreparedSplat& s) {
  const int top = std::max(s.top(), band.minRow);
  const int bottom = std::min(s.bottom(), band.maxRow);
  const std::uint32_t* const left = band.pixels + std::max(s.left(), 0);
  for (int row = top; row <= bottom; ++row) __builtin_prefetch(left + band.rowStart[row], 1);
}

// A thread's pace is timed by the steady clock; no pixel depends on it.
using PaceClock = std::chrono::steady_clock;
double secondsSince(PaceClock::time_point start) {
  return std::chrono::duration<double>(PaceClock::now() - start).count();
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
      automatic_(machineCores()) {}

FrameComposer::~FrameComposer() = default;

void FrameComposer::setThreads(int threads) {
  threads_ = threads == AUTOMATIC_THREADS ? AUTOMATIC_THREADS : std::clamp(threads, 1, MAX_COMPOSE_THREADS);
}

int FrameComposer::drawingThreads() const {
  const FrameBufferGeometry& g = frame_.geometry();
  int n = threads_;
  if (n == AUTOMATIC_THREADS) n = automatic_.threads();
  // Every band has at least one row.
  return std::max(std::min(n, g.innerHeight), 1);
}

int FrameComposer::lendDrawingThreads(PartRunner*& runner, std::span<const std::int32_t>& firsts) {
  runner = nullptr;
  firsts = {};
  int threads = drawingThreads();
  if (threads == 1) return 1;
  if (!workers_) workers_ = std::make_unique<BandWorkers>();
  runner = workers_.get();
  threads = workers_->startWorkers(threads);
  // The list holds every particle in system order and keeps its size from
  // frame to frame; a cut of another size is not taken (the update and the
  // frame then fall back to parts of their own).
  if (drawList_.drawCount > 0) {
    shareSplit_.cut(threads, drawList_.drawCount, shareFirst_);
    firsts = shareFirst_;
  }
  return threads;
}

void FrameComposer::noteFrameWork(std::int64_t ticks) {
  const FrameBufferGeometry& g = frame_.geometry();
  automatic_.noteFrame(g.innerWidth, g.innerHeight, ticks);
}

void FrameComposer::renderFrame() {
  // The draw list is filled a chunk at a time just ahead of the set-up, by
  // the thread that sets the chunk up, while it is at hand on that core;
  // unless the frame hook runs before the particles or a life hook while
  // they are set up (either may read the list).
  fillInParts_ = drawList_.fillsInParts(splat_.depthSortEnabled) &&
                 (frameHookAfterParticles != 0 || !frameHook) && !anyLifeHook();
  if (fillInParts_) {
    drawList_.beginDrawList();
  } else {
    drawList_.buildDrawList(splat_.depthSortEnabled);
  }
  frame_.beginHalfResFrame();
  // The usual clear refills what the last frame drew, row by row; each
  // drawing thread clears its band just before it draws there, unless the
  // frame hook draws first.
  const bool clearBands = frame_.needsClear() != 0 && frame_.clearsByRows() && frameHookAfterParticles != 0;
  if (frame_.needsClear() != 0 && !clearBands) frame_.clearStep();
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
  drawFrame(clearBands);
  fillInParts_ = false;
  frame_.endHalfResFrame();
  if (frameHookAfterParticles != 0 && frameHook) frameHook();
  frame_.present();
}

void FrameComposer::drawEntries() { drawFrame(false); }

// One drawing thread's part of a frame: its batch of lanes, and the splats
// it set up, for each band of rows they touch, in draw order.
struct alignas(128) FrameComposer::Share {
  SplatBatch batch;
  std::vector<std::vector<PreparedSplat>> bands;
  // A list is written on this thread and read on the band's, so its lines
  // end up in the other core's cache; writing them again the next frame
  // would take them back one by one. The lists of a share therefore take
  // turns with the sets of the frames before, and a set is written again
  // only when the other cores have long moved on from it.
  std::array<std::vector<std::vector<PreparedSplat>>, LIST_SETS - 1> earlierBands;
  int nextSet = 0;
  RowWork rowWork;
  std::int32_t filled = 0;  // entries of the part filled so far, when filled in parts
  RangeEnd end = RangeEnd::Done;
  std::int32_t lastVisited = -1;
};

void FrameComposer::drawFrame(bool clearBands) {
  int threads = drawingThreads();
  if (threads > 1) {
    // The bands wait for each other once, so they are as many as the
    // threads the system gives (a worker it refuses leaves fewer bands).
    if (!workers_) workers_ = std::make_unique<BandWorkers>();
    threads = workers_->startWorkers(threads);
  }
  while (static_cast<int>(shares_.size()) < threads) shares_.push_back(std::make_unique<Share>());
  if (static_cast<int>(bandParams_.size()) < threads) bandParams_.resize(static_cast<std::size_t>(threads));
  if (threads == 1 || !drawTogether(threads, clearBands)) drawAlone(clearBands);
}

void FrameComposer::drawAlone(bool clearRows) {
  SplatParams& whole = bandParams(0, 0, splat_.params.maxRow);
  if (clearRows) frame_.clearDrawnRows(whole.minRow, whole.maxRow);
  Share& share = *shares_[0];
  if (share.bands.empty()) share.bands.resize(1);
  std::vector<PreparedSplat>& chunk = share.bands[0];
  chunk.clear();
  auto take = [&](const SplatBatch& b, int lane) {
    if (chunk.size() == DRAW_CHUNK) {
      drawSplats(whole, chunk);
      chunk.clear();
    }
    SplatSetup::prepare(b, lane, chunk.emplace_back());
    // A brush without kernels reports its fatal error as soon as it would
    // draw.
    if (chunk.back().brush->kindRecord.insideKernel == reportLinkDrawError)
      splat_.drawPrepared(whole, chunk.back());
    return true;
  };
  setUpShare<true>(share, 0, drawList_.drawCount, take);
  if (fillInParts_) {
    drawList_.fillEntries(share.filled, drawList_.drawCount);
    drawList_.endDrawList();
  }
  drawSplats(whole, chunk);
  chunk.clear();
  finishFrame(share.lastVisited);
}

bool FrameComposer::drawTogether(int threads, bool clearBands) {
  const std::int64_t count = drawList_.drawCount;
  const std::int32_t rows = splat_.params.maxRow + 1;
  bandOfRow_.resize(static_cast<std::size_t>(rows));
  split_.cut(threads, rows, bandFirstRow_);
  for (int band = 0; band < threads; ++band) {
    const auto b = static_cast<std::size_t>(band);
    const SplatParams& p = bandParams(band, bandFirstRow_[b], bandFirstRow_[b + 1] - 1);
    for (std::int32_t r = p.minRow; r <= p.maxRow; ++r) {
      bandOfRow_[static_cast<std::size_t>(r)] = static_cast<std::uint8_t>(band);
    }
  }
  // The cut the update was lent, unless the list is not what it expected.
  if (shareFirst_.size() != static_cast<std::size_t>(threads) + 1 || shareFirst_.back() != count) {
    shareSplit_.cut(threads, static_cast<std::int32_t>(count), shareFirst_);
  }
  setUpSeconds_.resize(static_cast<std::size_t>(threads));
  drawSeconds_.resize(static_cast<std::size_t>(threads));
  std::atomic<bool> oneThread{false};
  auto job = [&](int t) {
    Share& share = *shares_[static_cast<std::size_t>(t)];
    std::swap(share.bands, share.earlierBands[static_cast<std::size_t>(share.nextSet)]);
    share.nextSet = (share.nextSet + 1) % (LIST_SETS - 1);
    share.bands.resize(static_cast<std::size_t>(threads));
    for (auto& splats : share.bands) splats.clear();
    share.rowWork.begin(rows);
    // Each splat is kept with every band it touches.
    auto take = [&](const SplatBatch& b, int lane) {
      const std::int32_t top = std::max(b.centreY[lane] - b.radius[lane], 0);
      const std::int32_t bottom = std::min(b.centreY[lane] + b.radius[lane], rows - 1);
      const int topBand = bandOfRow_[static_cast<std::size_t>(top)];
      const int bottomBand = bandOfRow_[static_cast<std::size_t>(bottom)];
      share.rowWork.add(top, bottom, 2 * b.radius[lane] + 1);
      std::vector<PreparedSplat>& first = share.bands[static_cast<std::size_t>(topBand)];
      SplatSetup::prepare(b, lane, first.emplace_back());
      for (int band = topBand + 1; band <= bottomBand; ++band) {
        share.bands[static_cast<std::size_t>(band)].push_back(first.back());
      }
      // A brush without kernels reports on the calling thread.
      return first.back().brush->kindRecord.insideKernel != reportLinkDrawError;
    };
    const std::int32_t first = shareFirst_[static_cast<std::size_t>(t)];
    const std::int32_t end = shareFirst_[static_cast<std::size_t>(t) + 1];
    const auto start = PaceClock::now();
    share.end = setUpShare<false>(share, first, end, take);
    // A share that ended early leaves the rest of its part to fill.
    if (fillInParts_) drawList_.fillEntries(share.filled, end);
    if (share.end == RangeEnd::NeedsOneThread) oneThread = true;
    setUpSeconds_[static_cast<std::size_t>(t)] = secondsSince(start);
    workers_->waitForAllBands();
    if (oneThread) return;
    const auto drawStart = PaceClock::now();
    SplatParams& p = bandParams_[static_cast<std::size_t>(t)].params;
    if (clearBands) frame_.clearDrawnRows(p.minRow, p.maxRow);
    for (int u = 0; u < threads; ++u) {
      const Share& from = *shares_[static_cast<std::size_t>(u)];
      drawSplats(p, from.bands[static_cast<std::size_t>(t)]);
      if (from.end == RangeEnd::Near) break;
    }
    drawSeconds_[static_cast<std::size_t>(t)] = secondsSince(drawStart);
  };
  workers_->run(threads, job);
  if (fillInParts_) drawList_.endDrawList();
  if (oneThread) {
    // Every share filled its part: the calling thread draws the list as it is.
    fillInParts_ = false;
    return false;
  }
  rowWorks_.clear();
  for (int u = 0; u < threads; ++u) rowWorks_.push_back(&shares_[static_cast<std::size_t>(u)]->rowWork);
  split_.learn(rows, rowWorks_, bandFirstRow_, drawSeconds_);
  shareSplit_.learn(shareFirst_, setUpSeconds_);
  std::int32_t lastVisited = -1;
  for (int u = 0; u < threads; ++u) {
    const Share& share = *shares_[static_cast<std::size_t>(u)];
    if (share.lastVisited >= 0) lastVisited = share.lastVisited;
    if (share.end == RangeEnd::Near) break;
  }
  finishFrame(lastVisited);
  return true;
}

template <bool Alone, class Take>
FrameComposer::RangeEnd FrameComposer::setUpShare(Share& share, std::int32_t first, std::int32_t end,
                                                  Take&& take) {
  SplatBatch& batch = share.batch;
  int lanes = 0;      // counted here: a count in the batch would be read again after every lane's stores
  bool stop = false;  // a splat taken asks for the calling thread
  auto keep = [&](const SplatBatch& b, int lane) { stop = stop || !take(b, lane); };
  const SplatLaneSettings settings = splat_.laneSettings();
  auto setUp = [&] {
    batch.count = lanes;
    lanes = 0;
    splat_.setUpBatch(settings, batch, keep);
    return !stop;
  };
  const bool sorted = splat_.depthSortEnabled != 0;
  const double nearLimit = splat_.nearLimit();
  DrawEntry* const entries = drawList_.entries.data();
  const DrawPair* const order = drawList_.order.data();
  std::int32_t system = 0;
  std::int32_t mode = LIFE_SMOOTH;
  BasicHook<double> lifeHook;
  // Most particles of a scene wait at the end of their life span for their
  // emitter; where the system's life curve leaves them no alpha, their
  // splats are not set up at all.
  bool endedUnseen = false;
  share.lastVisited = -1;
  share.filled = fillInParts_ ? first : end;
  for (std::int32_t k = first; k < end; ++k) {
    if (k == share.filled) {
      share.filled = std::min(end, k + FILL_CHUNK);
      drawList_.fillEntries(k, share.filled);
    }
    // In depth order the entries come from all over the list: they are
    // asked for while the ones before them are set up.
    if (sorted && k + ENTRIES_AHEAD < end) __builtin_prefetch(entries + order[k + ENTRIES_AHEAD].entryIndex);
    DrawEntry& entry = entries[order[k].entryIndex];
    if (k == first || entry.systemIndex != system) {
      system = entry.systemIndex;
      if (const ParticleSystem* s = systems_.system(system)) {
        mode = s->drawMode;
        lifeHook = s->drawHook;
      }
      // A life hook looks at the current entry, which only one thread keeps.
      if (!Alone && lifeHook) return RangeEnd::NeedsOneThread;
      endedUnseen = !lifeHook && SplatSetup::lifeEndLeavesNoAlpha(mode);
    }
    const Brush* brush = brushes_.at(entry.brush);
    if (brush == nullptr) {
      if constexpr (!Alone) return RangeEnd::NeedsOneThread;
      brush = &brushAt(entry.brush);
    }
    // Not set up, nearer than the near limit.
    const bool near = entry.position.z < nearLimit;
    const bool unseen = near || (endedUnseen && entry.countdown == 0 && entry.lifespan > 0);
    const std::uint32_t entryOpacity = entry.colour >> 24;
    for (int links = 0;; ++links) {
      const std::uint32_t tint = brush->useParticleColour != 0 ? entry.colour : NO_TINT;
      if (!unseen && !SplatSetup::blackTintSkips(*brush, tint)) {
        const auto alpha = static_cast<std::int32_t>((brush->colour >> 24) * entryOpacity / 255);
        const Vec3& at = entry.position;
        SplatSetup::queueLane(batch, lanes, *brush, tint, alpha, at.x, at.y, at.z, entry.size,
                              entry.countdown, entry.lifespan, mode);
        if (Alone && lifeHook && entry.lifespan != 0) {
          drawList_.currentEntry = &entry;
          splat_.currentEntry = &entry;
          batch.life[lanes] = lifeHook();
          batch.hooked[lanes] = 1;
        }
        if (++lanes == SPLAT_LANES && !setUp()) return RangeEnd::NeedsOneThread;
      }
      if (brush->nextBrush == NO_NEXT_BRUSH || links == MAX_BRUSH_CHAIN_LINKS) break;
      const Brush* next = brushes_.at(brush->nextBrush);
      if (next == nullptr) {
        if constexpr (!Alone) return RangeEnd::NeedsOneThread;
        next = &brushAt(brush->nextBrush);
      }
      brush = next;
    }
    // An entry nearer than the near limit ends a sorted frame; every later
    // one is nearer still.
    if (sorted && near) {
      share.lastVisited = k;
      return setUp() ? RangeEnd::Near : RangeEnd::NeedsOneThread;
    }
  }
  if (end > first) share.lastVisited = end - 1;
  return setUp() ? RangeEnd::Done : RangeEnd::NeedsOneThread;
}

void FrameComposer::drawSplats(SplatParams& p, const std::vector<PreparedSplat>& splats) const {
  const std::size_t count = splats.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (i + PREFETCH_AHEAD < count) prefetchRows(p, splats[i + PREFETCH_AHEAD]);
    splat_.drawPrepared(p, splats[i]);
  }
}

void FrameComposer::finishFrame(std::int32_t lastVisited) {
  if (lastVisited < 0) return;
  DrawEntry& entry = drawList_.entries[drawList_.order[lastVisited].entryIndex];
  drawList_.currentEntry = &entry;
  splat_.currentEntry = &entry;
  if (const ParticleSystem* s = systems_.system(entry.systemIndex)) {
    splat_.drawMode = s->drawMode;
    splat_.drawHook = s->drawHook;
  }
  // The last brush drawn is current, as if each had been selected in turn.
  const Brush* brush = &brushAt(entry.brush);
  for (int links = 0; brush->nextBrush != NO_NEXT_BRUSH && links < MAX_BRUSH_CHAIN_LINKS; ++links) {
    brush = &brushAt(brush->nextBrush);
  }
}

SplatParams& FrameComposer::bandParams(int band, std::int32_t minRow, std::int32_t maxRow) {
  SplatParams& p = bandParams_[static_cast<std::size_t>(band)].params;
  p = splat_.params;
  p.minRow = minRow;
  p.maxRow = maxRow;
  return p;
}

bool FrameComposer::anyLifeHook() const {
  for (std::int32_t si = systems_.firstSystem; si <= systems_.lastSystem; ++si) {
    const ParticleSystem* s = systems_.system(si);
    if (s != nullptr && s->drawHook) return true;
  }
  return false;
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
