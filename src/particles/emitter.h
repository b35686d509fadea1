#pragma once
// Emitters hand out birth places for particles. Each successful emit writes
// one Spawn (position, direction, speed) taken from one of the emitter's
// points and carried into world space through the emitter's transform; the
// scene's renewal hook copies it into the particle. The Spawn and the current
// point are shared by all emitters, so they live in one EmitterContext that
// every emitter of the scene is built on; an emitHook finds its Spawn there.

#include <array>
#include <cstdint>
#include <utility>

#include "counters/random_source.h"
#include "geometry/transform.h"
#include "geometry/vec3.h"
#include "geometry/vector_ops.h"
#include "ground/aligned_buffer.h"
#include "ground/hook.h"

namespace qv {

class Platform;
class Emitter;

inline constexpr std::int32_t EMIT_AT_POINT = 1;  // birth at the point's position
inline constexpr std::int32_t EMIT_IN_BOX = 2;    // birth in the box position +- positionJitter

struct EmitPoint {
  Vec3 position{0, 0, 0};
  Vec3 positionJitter{0, 0, 0};
  Vec3 direction{0, 0, 0};
  double spread = 1.0;  // weight of the random direction; 0 = exact direction
  double speed = 100.0;
  double speedJitter = 0.0;
  std::int32_t kind = EMIT_AT_POINT;
};

struct Spawn {
  Vec3 position;
  Vec3 direction;
  double speed = 0.0;
};

struct EmitterContext {
  EmitterContext(Platform& p, RandomSource& r, VectorOps& v, TransformTable& t)
      : platform(p), rng(r), vectors(v), transforms(t) {}

  Platform& platform;
  RandomSource& rng;
  VectorOps& vectors;
  TransformTable& transforms;

  Spawn spawn;  // written by emit
  std::int32_t currentPointIndex = 0;
  EmitPoint* currentPoint = nullptr;
  Emitter* currentPointOwner = nullptr;
};

class Emitter {
 public:
  explicit Emitter(EmitterContext& context) : context_(context) {}
  ~Emitter();
  Emitter(const Emitter&) = delete;
  Emitter& operator=(const Emitter&) = delete;

  std::uint32_t pointCount = 0;
  std::int32_t step = 1;       // cursor advance after an emission
  std::int32_t stepRange = 0;  // non-zero: the advance is random, 1 ... stepRange
  std::uint32_t cursor = 0;    // point used by the next emission
  std::int32_t transform = 0;  // carries spawns into world space; 0 = none
  std::int32_t quotaLeft = 10;
  std::int32_t quota = 10;  // emissions per frame; 0 = unlimited
  std::int32_t stopped = 1;
  std::int32_t autoRestart = 1;     // startFrame clears stopped
  Hook emitHook;                    // after the spawn values, before the transform
  AlignedBuffer<EmitPoint> points;  // pointCount points

  void allocatePoints(std::uint32_t count);
  void selectPoint(std::int32_t index);
  void setPoint(double px, double py, double pz, double dx, double dy, double dz, double spread, double speed,
                double speedJitter);
  void setRing(std::int32_t count, double cx, double cy, double cz, double radius, double elevation,
               double speed, double speedJitter);
  void startFrame();
  // 1 with a new Spawn in the context, or 0 when stopped, out of quota or
  // without points.
  std::int32_t emit();

  EmitterContext& context() { return context_; }

 private:
  void makeCurrent(std::int32_t index);
  EmitPoint& currentPoint();

  EmitterContext& context_;
};

// A fixed array of emitters built on one context (the scene owns such arrays).
template <std::size_t N>
std::array<Emitter, N> makeEmitters(EmitterContext& context) {
  return [&]<std::size_t... I>(std::index_sequence<I...>) {
    return std::array<Emitter, N>{{((void)I, Emitter(context))...}};
  }
  (std::make_index_sequence<N>{});
}

}  // namespace qv
