#pragma once
// The one geometric value type: three doubles. All geometry is done in double
// precision. Operators evaluate component by component, in the order written.

namespace qv {

struct Vec3 {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;

  constexpr Vec3() = default;
  constexpr Vec3(double ax, double ay, double az) : x(ax), y(ay), z(az) {}

  constexpr Vec3& operator+=(const Vec3& o) {
    x += o.x;
    y += o.y;
    z += o.z;
    return *this;
  }
  constexpr Vec3& operator-=(const Vec3& o) {
    x -= o.x;
    y -= o.y;
    z -= o.z;
    return *this;
  }
  constexpr Vec3& operator*=(double s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
  }
  friend constexpr Vec3 operator+(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
  friend constexpr Vec3 operator-(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
  friend constexpr Vec3 operator*(const Vec3& a, double s) { return {a.x * s, a.y * s, a.z * s}; }
  friend constexpr Vec3 operator*(double s, const Vec3& a) { return {s * a.x, s * a.y, s * a.z}; }
  friend constexpr bool operator==(const Vec3&, const Vec3&) = default;
};

constexpr double dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

constexpr Vec3 cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// n unchanged when 2 (n . m) > -1e-7; otherwise n - e m (m is not normalised).
constexpr Vec3 reflect(const Vec3& n, const Vec3& m) {
  const double e = 2 * (n.x * m.x + n.y * m.y + n.z * m.z);
  if (e > -1e-7) return n;
  return {n.x - e * m.x, n.y - e * m.y, n.z - e * m.z};
}

// v carried by the rows r0, r1, r2: v.x * r0 + v.y * r1 + v.z * r2.
constexpr Vec3 carry(const Vec3& v, const Vec3& r0, const Vec3& r1, const Vec3& r2) {
  return {v.x * r0.x + v.y * r1.x + v.z * r2.x, v.x * r0.y + v.y * r1.y + v.z * r2.y,
          v.x * r0.z + v.y * r1.z + v.z * r2.z};
}

}  // namespace qv
