#pragma once
// Every module a composed frame needs, wired together over the scripted test
// platform, for tests and benchmarks that draw whole frames without a scene.

#include <cstdint>

#include "composition/frame_composition.h"
#include "counters/random_source.h"
#include "frame/frame_buffer.h"
#include "frame/lookup_tables.h"
#include "frame/picture_layer.h"
#include "geometry/transform.h"
#include "geometry/vector_ops.h"
#include "particles/draw_list.h"
#include "particles/particle_system.h"
#include "splat/brush_images.h"
#include "splat/brush_table.h"
#include "splat/splat_setup.h"
#include "support/test_platform.h"

namespace qv::testing {

struct CompositionRig {
  explicit CompositionRig(std::uint32_t seed) : rng(seed) {}

  // The scene's depth settings: perspective, distance fade, no depth sort,
  // splats at least one pixel.
  void useSceneDepthSettings() {
    splat.depthSortEnabled = 0;
    splat.minPixelSize = 1;
    splat.setPerspective(-250.0, -1.0);
    splat.setDepthFade(700.0, -150.0, 1000);
  }

  TestPlatform platform;
  RandomSource rng;
  VectorOps vectors{rng};
  TransformTable transforms{platform, vectors};
  SystemTable systems{platform, rng, vectors};
  DrawList drawList{platform, systems, transforms};
  LookupTables tables{platform};
  BrushImages images{tables};
  PictureLayer pictures{platform};
  BrushTable brushes{platform, tables, images, pictures};
  FrameBuffer frame{platform};
  SplatSetup splat;
  FrameComposer composer{platform, systems, drawList, brushes, tables, frame, splat};
};

}  // namespace qv::testing
