#pragma once
// Moving coordinate frames. A transform has an origin, a pivot offset and
// three axes, and two kinds of per-frame rotation: a spin about the parent's
// fixed directions and a turn about its own axes. Systems and emitters name a
// transform by index and are carried through its world placement, which is
// refreshed once per frame by updateTransforms.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "geometry/vec3.h"
#include "geometry/vector_ops.h"

namespace qv {

class Platform;

inline constexpr int TRANSFORM_SLOTS = 1025;
inline constexpr double DEFAULT_ROTATION_ANGLE = 0.09817477042468103;  // pi / 32

struct Transform {
  Transform();

  double turnAngle = DEFAULT_ROTATION_ANGLE;
  double spinAngle = DEFAULT_ROTATION_ANGLE;
  double turnCos;
  double turnSin;
  double spinCos;
  double spinSin;
  std::int32_t rotated = 0;
  std::int32_t hasPivotOffset = 0;
  Vec3 position;
  Vec3 pivotOffset;
  Vec3 worldPosition;
  Vec3 axisX{1, 0, 0};
  Vec3 axisY{0, 1, 0};
  Vec3 axisZ{0, 0, 1};
  std::array<Vec3, 3> spinMatrix{};
  std::array<Vec3, 3> worldAxes{Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}};
  std::array<std::int32_t, 3> turnSteps{};
  std::array<std::int32_t, 3> spinSteps{};

  // The per-frame world placement, as the emitters and the draw list read it.
  Vec3 toWorldPoint(const Vec3& p) const;
  Vec3 toWorldDirection(const Vec3& d) const;
};

class TransformTable {
 public:
  TransformTable(Platform& platform, VectorOps& vectors);
  ~TransformTable();
  TransformTable(const TransformTable&) = delete;
  TransformTable& operator=(const TransformTable&) = delete;

  // Makes the index current, creating a default transform in an empty slot.
  // An index outside 0 ... 1024 is a fatal error.
  void selectTransform(int index);

  // Operations on the current transform.
  void setPosition(double x, double y, double z);
  void setPivotOffset(double x, double y, double z);
  void setAxes(const Vec3& x, const Vec3& y, const Vec3& z);
  void setOrientation(int preset);
  void setTurnSteps(int a, int b, int c);
  void setTurnAngle(double angle);
  void setSpin(int a, int b, int c);
  void setSpinAngle(double angle);
  void stepRotation();
  Vec3 toWorldPoint(const Vec3& p) { return current().toWorldPoint(p); }
  Vec3 toWorldDirection(const Vec3& d) { return current().toWorldDirection(d); }

  // Steps every transform, then refreshes every world placement, newest
  // first; the oldest transform is current afterwards.
  void updateTransforms();

  int currentIndex() const { return currentIndex_; }
  Transform& current();
  Transform* at(int index) const;
  // Indices of all transforms ever created, oldest first.
  const std::vector<int>& creationOrder() const { return created_; }

 private:
  Platform& platform_;
  VectorOps& vectors_;
  std::array<std::unique_ptr<Transform>, TRANSFORM_SLOTS> slots_;
  std::vector<int> created_;
  int currentIndex_ = 1;
  Transform* current_ = nullptr;
};

}  // namespace qv
