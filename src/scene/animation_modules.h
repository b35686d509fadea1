#pragma once
// Every module's records of one animation, over one platform, built in the
// order in which they depend on each other (and torn down in reverse). Tests
// and tools create one fresh and reach any module through it.

#include <array>

#include "composition/frame_composition.h"
#include "counters/counter_registry.h"
#include "counters/counters.h"
#include "counters/random_source.h"
#include "frame/frame_buffer.h"
#include "frame/lookup_tables.h"
#include "frame/overlays.h"
#include "frame/picture_layer.h"
#include "geometry/transform.h"
#include "geometry/vector_ops.h"
#include "ground/clock.h"
#include "particles/draw_list.h"
#include "particles/emitter.h"
#include "particles/particle_system.h"
#include "particles/particle_update.h"
#include "particles/periodic_table.h"
#include "scene/scene.h"
#include "scene/scene_constants.h"
#include "splat/brush_images.h"
#include "splat/brush_table.h"
#include "splat/splat_setup.h"

namespace qv {

class Platform;
class InputState;

struct AnimationModules {
  AnimationModules(Platform& p, InputState& in, BackBufferMemory* memory = nullptr)
      : platform(p), input(in), frame(p, memory) {}
  AnimationModules(const AnimationModules&) = delete;
  AnimationModules& operator=(const AnimationModules&) = delete;

  Platform& platform;
  InputState& input;
  RandomSource rng;
  CounterContext counterContext{rng};
  CounterRegistry registry{platform, counterContext};
  VectorOps vectors{rng};
  TransformTable transforms{platform, vectors};
  SystemTable systems{platform, rng, vectors};
  ParticleUpdate update{systems, vectors};
  DrawList drawList{platform, systems, transforms};
  PeriodicTable periodicTable{platform, rng};
  EmitterContext emitterContext{platform, rng, vectors, transforms};
  std::array<Emitter, MAIN_EMITTER_COUNT> mainEmitters = makeEmitters<MAIN_EMITTER_COUNT>(emitterContext);
  std::array<Emitter, TRAIL_COUNT> trailEmitters = makeEmitters<TRAIL_COUNT>(emitterContext);
  LookupTables tables{platform};
  BrushImages images{tables};
  PictureLayer pictures{platform};
  BrushTable brushes{platform, tables, images, pictures};
  FrameBuffer frame;
  SplatSetup splat;
  FrameComposer composer{platform, systems, drawList, brushes, tables, frame, splat};
  FrameClock clock{platform};
  Scene scene{*this};
  Overlays overlays{platform, pictures, frame};
};

}  // namespace qv
