#pragma once
// One frame from particle state to the window: the draw list is built, the
// back buffer prepared (half-resolution switch, clear or trail fade, depth
// reset), every entry splatted with its brush and the brush's chain of
// further brushes, the frame hook run (the overlays), the half-size picture
// doubled back, and the frame presented. Also the scene-render set-up before
// the first frame and the release of the working tables after the last.

#include <cstdint>

#include "ground/hook.h"

namespace qv {

class Platform;
class SystemTable;
class DrawList;
class BrushTable;
class LookupTables;
class FrameBuffer;
class SplatSetup;
struct Brush;

// A brush chain is followed for at most this many links per entry, so a
// chain that loops back on itself still ends the frame.
inline constexpr int MAX_BRUSH_CHAIN_LINKS = 512;
// Brush 0 after the scene-render set-up: a point brush.
inline constexpr std::int32_t SCENE_POINT_BRUSH_KIND = 0x10000;
inline constexpr std::uint32_t SCENE_POINT_BRUSH_COLOUR = 0xFF7FC8FF;

class FrameComposer {
 public:
  FrameComposer(Platform& platform, SystemTable& systems, DrawList& drawList, BrushTable& brushes,
                LookupTables& tables, FrameBuffer& frame, SplatSetup& splat);
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

 private:
  // Points the splat block at the live frame and the tables.
  void refreshSplatFrame();
  // The brush in a slot, created when the slot is empty.
  const Brush& brushAt(int index);

  Platform& platform_;
  SystemTable& systems_;
  DrawList& drawList_;
  BrushTable& brushes_;
  LookupTables& tables_;
  FrameBuffer& frame_;
  SplatSetup& splat_;
};

}  // namespace qv
