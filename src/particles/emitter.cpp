#include "particles/emitter.h"

#include <new>

#include "geometry/trigonometry.h"
#include "ground/runtime_error.h"

namespace qv {

namespace {
constexpr double PI = 3.141592653589793;
}  // namespace

Emitter::~Emitter() {
  if (context_.currentPointOwner == this) {
    context_.currentPoint = nullptr;
    context_.currentPointOwner = nullptr;
  }
}

void Emitter::makeCurrent(std::int32_t index) {
  context_.currentPointIndex = index;
  context_.currentPoint = points.data() + index;
  context_.currentPointOwner = this;
}

void Emitter::allocatePoints(std::uint32_t count) {
  pointCount = 0;
  if (context_.currentPointOwner == this) {
    context_.currentPoint = nullptr;
    context_.currentPointOwner = nullptr;
  }
  points.allocate(context_.platform, count, ALIGNMENT_16, FILL_NONE);
  for (EmitPoint& point : points) new (&point) EmitPoint();
  pointCount = count;
  if (count > 0) makeCurrent(0);
}

void Emitter::selectPoint(std::int32_t index) {
  if (index < 0 || static_cast<std::uint32_t>(index) >= pointCount) {
    reportRuntimeError(context_.platform, errors::INDEX_OUT_OF_RANGE);
  }
  makeCurrent(index);
}

EmitPoint& Emitter::currentPoint() {
  if (context_.currentPoint == nullptr) reportRuntimeError(context_.platform, errors::INDEX_OUT_OF_RANGE);
  return *context_.currentPoint;
}

void Emitter::setPoint(double px, double py, double pz, double dx, double dy, double dz, double spread,
                       double speed, double speedJitter) {
  EmitPoint& p = currentPoint();
  p.position = {px, py, pz};
  p.direction = {dx, dy, dz};
  p.spread = spread;
  p.speed = speed;
  p.speedJitter = speedJitter;
  p.positionJitter = {0, 0, 0};
  p.kind = EMIT_AT_POINT;
}

void Emitter::setRing(std::int32_t count, double cx, double cy, double cz, double radius, double elevation,
                      double speed, double speedJitter) {
  if (count <= 0) return;
  currentPoint();  // there must be a current point to start from
  Emitter& owner = *context_.currentPointOwner;
  const std::int64_t start = context_.currentPointIndex;
  if (start + count > static_cast<std::int64_t>(owner.pointCount)) {
    reportRuntimeError(context_.platform, errors::INDEX_OUT_OF_RANGE);
  }
  const double phi = elevation * 2 * PI;
  const double r2 = radius - cosine(phi);
  for (std::int32_t i = 0; i < count; ++i) {
    const double theta = i * 2 * PI / count;
    owner.makeCurrent(static_cast<std::int32_t>(start + i));
    EmitPoint& p = *context_.currentPoint;
    p.position = {cx - radius * cosine(theta), cy + radius * sine(theta), cz};
    const Vec3 target{cx - r2 * cosine(theta), cy + r2 * sine(theta), cz + sine(phi)};
    p.direction = target - p.position;
    p.positionJitter = {0, 0, 0};
    p.spread = 0;
    p.speed = speed;
    p.speedJitter = speedJitter;
    p.kind = EMIT_AT_POINT;
  }
}

void Emitter::startFrame() {
  if (autoRestart != 0) stopped = 0;
  quotaLeft = quota;
}

std::int32_t Emitter::emit() {
  if (quota != 0) {
    if (quotaLeft != 0) {
      --quotaLeft;
    } else {
      stopped = 1;
      quotaLeft = quota;
    }
  }
  if (pointCount == 0 || stopped != 0) return 0;

  // The scene may shrink the points under a cursor it left further on.
  if (cursor >= pointCount) cursor %= pointCount;
  makeCurrent(static_cast<std::int32_t>(cursor));
  const EmitPoint& p = *context_.currentPoint;
  Spawn& spawn = context_.spawn;

  Vec3 direction = p.direction;
  if (p.spread != 0) {
    const Vec3 r = context_.vectors.randomDirection();
    direction = p.spread == 1 ? r : p.spread * r + p.direction;
  }
  // Other kinds keep the previous spawn's position and direction.
  if (p.kind == EMIT_AT_POINT) {
    spawn.direction = direction;
    spawn.position = p.position;
  } else if (p.kind == EMIT_IN_BOX) {
    spawn.direction = direction;
    spawn.position =
        randVec3Around(context_.rng, p.position, p.positionJitter.x, p.positionJitter.y, p.positionJitter.z);
  }
  spawn.speed = context_.rng.randAround(p.speed, p.speedJitter);

  if (emitHook) emitHook();

  if (transform != 0) {
    context_.transforms.selectTransform(transform);
    spawn.position = context_.transforms.toWorldPoint(spawn.position);
    spawn.direction = context_.transforms.toWorldDirection(spawn.direction);
  }

  const std::int32_t advance = stepRange != 0 ? context_.rng.randUpTo(stepRange - 1) + 1 : step;
  cursor += static_cast<std::uint32_t>(advance);
  if (cursor >= pointCount) cursor -= pointCount;
  // An advance beyond one round of the points would leave the cursor outside.
  if (cursor >= pointCount) cursor %= pointCount;
  return 1;
}

}  // namespace qv
