#include "composition/frame_composition.h"

#include "splat/brush.h"
#include "splat/brush_table.h"
#include "frame/frame_buffer.h"
#include "frame/lookup_tables.h"
#include "ground/runtime_error.h"
#include "particles/draw_list.h"
#include "particles/particle_system.h"
#include "splat/splat_setup.h"

namespace qv {

FrameComposer::FrameComposer(Platform& platform, SystemTable& systems, DrawList& drawList,
                             BrushTable& brushes, LookupTables& tables, FrameBuffer& frame,
                             SplatSetup& splat)
    : platform_(platform),
      systems_(systems),
      drawList_(drawList),
      brushes_(brushes),
      tables_(tables),
      frame_(frame),
      splat_(splat) {}

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
  SplatParams& p = splat_.params;
  std::int32_t previousSystem = 0;
  for (std::int32_t k = 0; k < drawList_.drawCount; ++k) {
    drawList_.selectEntry(k);
    const DrawEntry& entry = *drawList_.currentEntry;
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
    std::int32_t stop = 0;
    for (int links = 0;; ++links) {
      p.tint = brush->useParticleColour != 0 ? entry.colour : NO_TINT;
      p.alpha = static_cast<std::int32_t>((brush->colour >> 24) * entryOpacity / 255);
      stop = splat_.drawSplat(*brush, entry.position.x, entry.position.y, entry.position.z);
      if (brush->nextBrush == NO_NEXT_BRUSH || links == MAX_BRUSH_CHAIN_LINKS) break;
      brush = &brushAt(brush->nextBrush);
    }
    if (stop != 0) break;
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
  splat_.currentEntry = nullptr;
}

}  // namespace qv
