#pragma once
// The lookup tables behind the generated brush images and the kernels, built
// once at set-up so that a kernel needs only table reads per pixel:
// - the sphere table: the height of a sphere of radius 255.5 over each texel
//   of a quadrant, in eighths, and a rim slope 0 ... 16;
// - the rescale table: for a splat radius and a distance from its centre, the
//   byte offset of the source texel within a quadrant image row;
// - the disc coverage tables: anti-aliased coverage of discs 2 ... 255.75
//   pixels across in quarter-pixel steps, four sizes to a 32-bit entry.

#include <array>
#include <cstdint>

#include "ground/aligned_buffer.h"

namespace qv {

class Platform;

inline constexpr int SPHERE_SIZE = 256;         // rows and columns
inline constexpr double SPHERE_RADIUS = 255.5;  // 255 + 0.5
inline constexpr int RESCALE_SIZE = 256;
inline constexpr int DISC_TABLE_COUNT = 256;    // indexed by the whole size s
inline constexpr int DISC_FIRST_SIZE_CODE = 8;  // in quarter pixels
inline constexpr int DISC_LAST_SIZE_CODE = 1023;
inline constexpr std::uint32_t DISC_SIZE_ONE_LANES = 0xFFBF7F3F;

class LookupTables {
 public:
  explicit LookupTables(Platform& platform);
  LookupTables(const LookupTables&) = delete;
  LookupTables& operator=(const LookupTables&) = delete;

  // Allocates and fills a table, replacing (and freeing) one already built.
  void buildSphereTable();
  void buildRescaleTable();
  // Builds every disc coverage table; nothing when they exist.
  void buildDiscCoverageTables();

  void releaseSphereTable();
  void releaseRescaleTable();
  // Frees the tables for sizes 2 ... 255 and marks them not built, so that the
  // next disc brush builds them again.
  void releaseDiscCoverageTables();

  // Sphere entry (i, j): two int32, the height in eighths (0 outside the
  // disc) and the slope. Rows of 256 entries, 2048 bytes each.
  const std::int32_t* sphereTable() const { return sphere_.data(); }
  const std::int32_t* sphereEntry(int i, int j) const { return sphere_.data() + (i * SPHERE_SIZE + j) * 2; }

  // Row r (the splat radius in pixels): entry j is the byte offset of the
  // source texel for distance j from the centre.
  const std::int32_t* rescaleTable() const { return rescale_.data(); }
  const std::int32_t* rescaleRow(int r) const { return rescale_.data() + r * RESCALE_SIZE; }

  // The table for whole size s (0 ... 255): s rows of s entries (one entry for
  // s = 0 and 1); byte lane b of entry [y][x] is the coverage of the pixel at
  // (x, y) from the centre for the size code 4 s + b. Null before the build.
  const std::uint32_t* discCoverage(int s) const { return disc_[s]; }
  bool discCoverageBuilt() const { return discBuilt_; }
  // All 256 table pointers, as the splat parameter block carries them.
  const std::uint32_t* const* discCoverageTables() const { return disc_.data(); }

 private:
  void buildDiscTableLane(int sizeCode);

  Platform& platform_;
  AlignedBuffer<std::int32_t> sphere_;
  AlignedBuffer<std::int32_t> rescale_;
  // The tables of sizes 2 ... 255, and the pointers to all 256 tables.
  std::array<AlignedBuffer<std::uint32_t>, DISC_TABLE_COUNT> discBlocks_;
  std::array<std::uint32_t*, DISC_TABLE_COUNT> disc_{};
  bool discBuilt_ = false;
  // The two fixed one-entry tables of sizes 0 and 1.
  std::uint32_t discSizeZero_ = 0;
  std::uint32_t discSizeOne_ = DISC_SIZE_ONE_LANES;
};

}  // namespace qv
