#include "geometry/transform.h"

#include "geometry/trigonometry.h"
#include "ground/runtime_error.h"

namespace qv {

Transform::Transform()
    : turnCos(cosine(DEFAULT_ROTATION_ANGLE)),
      turnSin(sine(DEFAULT_ROTATION_ANGLE)),
      spinCos(cosine(DEFAULT_ROTATION_ANGLE)),
      spinSin(sine(DEFAULT_ROTATION_ANGLE)) {}

Vec3 Transform::toWorldPoint(const Vec3& p) const {
  Vec3 v = hasPivotOffset != 0 ? p + pivotOffset : p;
  if (rotated != 0) v = carry(v, worldAxes[0], worldAxes[1], worldAxes[2]);
  return v + worldPosition;
}

Vec3 Transform::toWorldDirection(const Vec3& d) const {
  if (rotated == 0) return d;
  return carry(d, worldAxes[0], worldAxes[1], worldAxes[2]);
}

TransformTable::TransformTable(Platform& platform, VectorOps& vectors)
    : platform_(platform), vectors_(vectors) {
  created_.reserve(64);
}

TransformTable::~TransformTable() = default;

void TransformTable::selectTransform(int index) {
  if (index < 0 || index >= TRANSFORM_SLOTS) reportRuntimeError(platform_, errors::INDEX_OUT_OF_RANGE);
  currentIndex_ = index;
  if (!slots_[index]) {
    slots_[index] = std::make_unique<Transform>();
    created_.push_back(index);
  }
  current_ = slots_[index].get();
}

Transform& TransformTable::current() {
  if (current_ == nullptr) selectTransform(currentIndex_);
  return *current_;
}

Transform* TransformTable::at(int index) const {
  if (index < 0 || index >= TRANSFORM_SLOTS) return nullptr;
  return slots_[index].get();
}

void TransformTable::setPosition(double x, double y, double z) { current().position = {x, y, z}; }

void TransformTable::setPivotOffset(double x, double y, double z) {
  Transform& t = current();
  t.pivotOffset = {x, y, z};
  t.hasPivotOffset = (x != 0 || y != 0 || z != 0) ? 1 : 0;
}

void TransformTable::setAxes(const Vec3& x, const Vec3& y, const Vec3& z) {
  Transform& t = current();
  t.axisX = vectors_.normalised(x);
  t.axisY = vectors_.normalised(y);
  t.axisZ = vectors_.normalised(z);
}

void TransformTable::setOrientation(int preset) {
  switch (preset) {
    case 0: setAxes({0, 0, -1}, {0, 1, 0}, {1, 0, 0}); return;
    case 1: setAxes({1, 0, 0}, {0, 0, -1}, {0, 1, 0}); return;
    case 2: setAxes({1, 0, 0}, {0, 1, 0}, {0, 0, 1}); return;
    case 3: setAxes({0, 0, 1}, {0, 1, 0}, {-1, 0, 0}); return;
    case 4: setAxes({1, 0, 0}, {0, 0, 1}, {0, -1, 0}); return;
    case 5: setAxes({1, 0, 0}, {0, -1, 0}, {0, 0, -1}); return;
    case 7: break;
    default: return;
  }
  Transform& t = current();
  RandomSource& rng = vectors_.random();
  auto component = [&] { return 1 - 2 * (rng.draw() * UNIT_RANDOM_SCALE); };
  t.axisX.z = component();
  t.axisX.y = component();
  t.axisX.x = component();
  Vec3 provisionalY;
  provisionalY.z = component();
  provisionalY.y = component();
  provisionalY.x = component();
  vectors_.normalise(t.axisX);
  t.axisZ = vectors_.normalised(cross(t.axisX, provisionalY));
  t.axisY = vectors_.normalised(cross(t.axisZ, t.axisX));
}

void TransformTable::setTurnSteps(int a, int b, int c) { current().turnSteps = {a, b, c}; }

void TransformTable::setTurnAngle(double angle) {
  Transform& t = current();
  t.turnAngle = angle;
  t.turnCos = cosine(angle);
  t.turnSin = sine(angle);
}

void TransformTable::stepRotation() {
  Transform& t = current();
  if (t.spinSteps[0] != 0 || t.spinSteps[1] != 0 || t.spinSteps[2] != 0) {
    const auto& s = t.spinMatrix;
    t.axisX = carry(t.axisX, s[0], s[1], s[2]);
    t.axisY = carry(t.axisY, s[0], s[1], s[2]);
    t.axisZ = carry(t.axisZ, s[0], s[1], s[2]);
  }
  const double c = t.turnCos;
  const double sn = t.turnSin;
  // Each turn rotates one pair of axes; both new axes come from the old pair.
  auto turn = [c, sn](Vec3& a, Vec3& b, int n) {
    const Vec3 oldA = a;
    const Vec3 oldB = b;
    a = {c * oldA.x + n * sn * oldB.x, c * oldA.y + n * sn * oldB.y, c * oldA.z + n * sn * oldB.z};
    b = {c * oldB.x - n * sn * oldA.x, c * oldB.y - n * sn * oldA.y, c * oldB.z - n * sn * oldA.z};
  };
  if (t.turnSteps[0] != 0) turn(t.axisY, t.axisZ, t.turnSteps[0]);
  if (t.turnSteps[1] != 0) turn(t.axisZ, t.axisX, t.turnSteps[1]);
  if (t.turnSteps[2] != 0) turn(t.axisX, t.axisY, t.turnSteps[2]);
  t.rotated = (t.axisX.x != 1 || t.axisY.y != 1) ? 1 : 0;
}

void TransformTable::setSpin(int a, int b, int c) {
  Transform& t = current();
  t.spinSteps = {0, 0, 0};
  if (a != 0 || b != 0 || c != 0) {
    const Vec3 savedX = t.axisX;
    const Vec3 savedY = t.axisY;
    const Vec3 savedZ = t.axisZ;
    const auto savedSteps = t.turnSteps;
    const double savedCos = t.turnCos;
    const double savedSin = t.turnSin;
    t.turnSteps = {a, b, c};
    t.turnCos = t.spinCos;
    t.turnSin = t.spinSin;
    t.axisX = {1, 0, 0};
    t.axisY = {0, 1, 0};
    t.axisZ = {0, 0, 1};
    stepRotation();
    t.spinMatrix = {t.axisX, t.axisY, t.axisZ};
    t.axisX = savedX;
    t.axisY = savedY;
    t.axisZ = savedZ;
    t.turnSteps = savedSteps;
    t.turnCos = savedCos;
    t.turnSin = savedSin;
  }
  t.spinSteps = {a, b, c};
}

void TransformTable::setSpinAngle(double angle) {
  Transform& t = current();
  t.spinAngle = angle;
  t.spinCos = cosine(angle);
  t.spinSin = sine(angle);
  const auto steps = t.spinSteps;
  setSpin(steps[0], steps[1], steps[2]);
}

void TransformTable::updateTransforms() {
  for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
    selectTransform(*it);
    stepRotation();
  }
  for (auto it = created_.rbegin(); it != created_.rend(); ++it) {
    selectTransform(*it);
    Transform& t = *current_;
    t.worldAxes = {t.axisX, t.axisY, t.axisZ};
    t.worldPosition = t.position;
    t.rotated = (t.worldAxes[0].x != 1 || t.worldAxes[1].y != 1) ? 1 : 0;
  }
}

}  // namespace qv
