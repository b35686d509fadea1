#pragma once
// One frame from particle state to the window: the draw list is built, the
// back buffer prepared (half-resolution switch, clear or trail fade, depth
// reset), every entry splatted with its brush and the brush's chain of
// further brushes, the frame hook run (the overlays), the half-size picture
// doubled back, and the frame presented. Also the scene-render set-up before
// the first frame and the release of the working tables after the last.
//
// The splats are set up many at a time (splat/splat_batch.h) and then drawn;
// one thread draws them a chunk at a time as they are set up. With several
// threads, each fills (when the draw list allows) and sets up a share of the
// draw list (the particles it moved, so the share stays on its core), keeping
// the splats with the bands of rows they touch; then each clears and draws
// its own band, from every share in draw order. The shares follow each
// thread's pace (composition/share_split.h), and the bands are cut where the
// last frame's drawing work divides evenly (band_split.h). Each pixel gets
// the same blends in the same order as on one thread, so the frame is the
// same for any number of threads.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "composition/automatic_threads.h"
#include "composition/band_split.h"
#include "composition/share_split.h"
#include "ground/hook.h"
#include "splat/brush.h"
#include "splat/splat_setup.h"

namespace qv {

class Platform;
class SystemTable;
class DrawList;
class BrushTable;
class LookupTables;
class FrameBuffer;
class BandWorkers;
class PartRunner;
struct Brush;

// A brush chain is followed for at most this many links per entry, so a
// chain that loops back on itself still ends the frame.
inline constexpr int MAX_BRUSH_CHAIN_LINKS = 512;
// Brush 0 after the scene-render set-up: a point brush.
inline constexpr std::int32_t SCENE_POINT_BRUSH_KIND = POINT_BRUSH;
inline constexpr std::uint32_t SCENE_POINT_BRUSH_COLOUR = 0xFF7FC8FF;
// Threads that draw a frame: 1 ... MAX_COMPOSE_THREADS, or AUTOMATIC_THREADS:
// one while one is enough, else the machine's cores (composition/automatic_threads.h).
inline constexpr int MAX_COMPOSE_THREADS = 64;
inline constexpr int AUTOMATIC_THREADS = 0;

class FrameComposer {
 public:
  FrameComposer(Platform& platform, SystemTable& systems, DrawList& drawList, BrushTable& brushes,
                LookupTables& tables, FrameBuffer& frame, SplatSetup& splat);
  ~FrameComposer();
  FrameComposer(const FrameComposer&) = delete;
  FrameComposer& operator=(const FrameComposer&) = delete;

  // Runs before the first particle, or (flag non-zero) after the particles and
  // the half-resolution swap-back, just before the frame is presented.
  Hook frameHook;
  std::int32_t frameHookAfterParticles = 1;

  // The splat centre: the integer halves of the live inner width and height,
  // recomputed every frame.
  std::int32_t screenCentreX = 0;
  std::int32_t screenCentreY = 0;

  // Composes and shows one frame.
  void renderFrame();
  // Before the first frame: no systems but an empty system 0 (current), the
  // sphere and rescale tables, brush 0 as a point brush, the frame buffers.
  void setupSceneRender();
  // Frees the frame buffers, the lookup tables (the disc coverage tables are
  // marked not built), every system and the draw list.
  void releaseWorkingTables();

  // The splat loop of renderFrame alone: every entry of the draw list as it
  // stands, drawn into the frame the last renderFrame prepared.
  void drawEntries();

  // 1 ... MAX_COMPOSE_THREADS or AUTOMATIC_THREADS; 1 until set.
  void setThreads(int threads);
  int threads() const { return threads_; }
  // How many threads draw a frame of the live geometry.
  int drawingThreads() const;
  // The drawing threads, lent to the particle update before the frame is
  // composed: sets runner to what runs them (nullptr for one thread) and
  // firsts to where each thread's share of the particles begins, and returns
  // how many can run at once.
  int lendDrawingThreads(PartRunner*& runner, std::span<const std::int32_t>& firsts);
  // First rows of the bands of the last frame drawn together, and the
  // frame's row count last.
  const std::vector<std::int32_t>& bandFirstRows() const { return bandFirstRow_; }
  // The work of the frame just made (update, composition, present), in
  // clock ticks, for the automatic choice of threads.
  void noteFrameWork(std::int64_t ticks);

 private:
  struct Share;
  // A band's splat block on cache lines of its own: its kernels write it for
  // every splat, and a line shared with the next band's block would travel
  // between the cores on every write.
  struct alignas(128) BandBlock {
    SplatParams params;
  };
  enum class RangeEnd { Done, Near, NeedsOneThread };

  // Sets up and draws every entry; with clearBands, each band of rows is
  // cleared (the frame's clear by rows) just before it is drawn.
  void drawFrame(bool clearBands);
  // The same on this thread alone, drawing the splats a chunk at a time as
  // they are set up.
  void drawAlone(bool clearRows);
  // The same with `threads` threads; false, with nothing drawn or cleared,
  // when it met what only the calling thread may do (a brush slot to fill, a
  // kernel that reports, a life hook).
  bool drawTogether(int threads, bool clearBands);
  // Sets up the entries first ... end - 1 of the draw order with the share's
  // batch, and take(batch, lane) for each splat that reaches the frame; take
  // returns false for one only the calling thread may draw. On the calling
  // thread (Alone) it also fills empty brush slots and runs life hooks;
  // elsewhere it ends with NeedsOneThread instead, and so it does when take
  // returns false.
  template <bool Alone, class Take>
  RangeEnd setUpShare(Share& share, std::int32_t first, std::int32_t end, Take&& take);
  // Draws splats into the rows p allows.
  void drawSplats(SplatParams& p, const std::vector<PreparedSplat>& splats) const;
  // What the frame leaves behind, as drawn on one thread: the last entry
  // visited current, the last brush of its chain current, its system's
  // drawing values.
  void finishFrame(std::int32_t lastVisited);
  // The block of band `band`, rows minRow ... maxRow, made afresh.
  SplatParams& bandParams(int band, std::int32_t minRow, std::int32_t maxRow);

  // Points the splat block at the live frame and the tables.
  void refreshSplatFrame();
  // Whether a system has a life hook (it reads the draw list while drawing).
  bool anyLifeHook() const;
  // The brush in a slot, created when the slot is empty.
  const Brush& brushAt(int index);

  Platform& platform_;
  SystemTable& systems_;
  DrawList& drawList_;
  BrushTable& brushes_;
  LookupTables& tables_;
  FrameBuffer& frame_;
  SplatSetup& splat_;
  int threads_ = 1;
  // This frame's draw list is filled by the drawing threads, part by part.
  bool fillInParts_ = false;
  AutomaticThreads automatic_;
  // Kept from frame to frame, so that they only grow.
  std::vector<std::unique_ptr<Share>> shares_;  // one per drawing thread
  std::vector<BandBlock> bandParams_;           // one block per band
  std::vector<std::uint8_t> bandOfRow_;         // for the bands of the last frame drawn together
  std::vector<std::int32_t> bandFirstRow_;      // the same bands' first rows
  std::vector<const RowWork*> rowWorks_;        // every share's, for the next cut
  BandSplit split_;
  ShareSplit shareSplit_;
  std::vector<std::int32_t> shareFirst_;  // where each thread's share of the draw order begins
  std::vector<double> setUpSeconds_;      // how long each share took to set up
  std::vector<double> drawSeconds_;       // and each band to draw
  std::unique_ptr<BandWorkers> workers_;
};

}  // namespace qv
