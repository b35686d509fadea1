#include "frame/lookup_tables.h"

#include <cmath>
#include <cstring>

#include "ground/memory_blocks.h"

namespace qv {

namespace {
constexpr std::size_t SPHERE_ALIGNMENT = 8 * SPHERE_SIZE;  // one row
constexpr std::size_t RESCALE_ALIGNMENT = 1024;
// The 4 x 4 sample offsets of a partly covered pixel, corners included.
constexpr std::array<double, 4> SAMPLE_OFFSETS{-0.5, -0.167, 0.167, 0.5};
}  // namespace

LookupTables::LookupTables(Platform& platform) : platform_(platform) {}

void LookupTables::buildSphereTable() {
  sphere_.allocate(platform_, std::size_t{SPHERE_SIZE} * SPHERE_SIZE * 2, SPHERE_ALIGNMENT, FILL_NONE);
  const double R = SPHERE_RADIUS;
  for (int i = 0; i < SPHERE_SIZE; ++i) {
    for (int j = 0; j < SPHERE_SIZE; ++j) {
      std::int32_t* entry = &sphere_[(i * SPHERE_SIZE + j) * 2];
      const double l = R * R - j * j - i * i;
      if (l > 0) {
        const double h = std::sqrt(l);
        const double rim = (R - h) / R;
        entry[0] = static_cast<std::int32_t>(8 * h + 0.5);
        entry[1] = static_cast<std::int32_t>(16 * (rim * rim) + 0.5);
      } else {
        entry[0] = 0;
        entry[1] = 0;
      }
    }
  }
}

void LookupTables::buildRescaleTable() {
  rescale_.allocate(platform_, std::size_t{RESCALE_SIZE} * RESCALE_SIZE, RESCALE_ALIGNMENT, FILL_ZERO);
  for (int i = 1; i < RESCALE_SIZE; ++i) {
    std::int32_t* row = &rescale_[i * RESCALE_SIZE];
    for (int j = 0; j <= i; ++j) {
      row[j] = static_cast<std::int32_t>(255.0 * j / i + 0.5) * 4;
    }
  }
}

void LookupTables::releaseSphereTable() { sphere_.reset(); }

void LookupTables::releaseRescaleTable() { rescale_.reset(); }

void LookupTables::buildDiscCoverageTables() {
  if (discBuilt_) return;
  disc_[0] = &discSizeZero_;
  disc_[1] = &discSizeOne_;
  for (int a = DISC_FIRST_SIZE_CODE; a <= DISC_LAST_SIZE_CODE; ++a) buildDiscTableLane(a);
  discBuilt_ = true;
}

// One size code: lane b = a & 3 of every entry of the table for s = a >> 2.
// A grid point (px, py) lies inside the disc when r^2 > px^2 + py^2. A pixel
// whose nearest and farthest corners agree is wholly in or out; any other is
// sampled at 16 points, giving 16 n - 1.
void LookupTables::buildDiscTableLane(int a) {
  const int s = a >> 2;
  const int b = a & 3;
  if (b == 0) {
    // Zeroed so that the lanes still to come never read leftover bytes; every
    // lane is written before the table is used.
    discBlocks_[s].allocate(platform_, std::size_t{static_cast<unsigned>(s * s)}, ALIGNMENT_16, FILL_ZERO);
    disc_[s] = discBlocks_[s].data();
  }
  std::uint32_t* table = disc_[s];
  const double r = s - (3 - b) * 0.25 - 0.4999;
  const double R2 = r * r;
  const int shift = 8 * b;
  const std::uint32_t keep = ~(0xFFu << shift);

  // Corner flags of the line above the current pixel row, shared by the
  // neighbouring pixels of a row and by the row below.
  std::array<bool, DISC_TABLE_COUNT + 1> above{};
  std::array<bool, DISC_TABLE_COUNT + 1> below{};
  for (int x = 0; x <= s; ++x) {
    const double px = x - 0.5;
    const double py = -0.5;
    above[x] = R2 > px * px + py * py;
  }
  for (int y = 0; y < s; ++y) {
    const double py = y + 0.5;
    for (int x = 0; x <= s; ++x) {
      const double px = x - 0.5;
      below[x] = R2 > px * px + py * py;
    }
    std::uint32_t* row = table + y * s;
    for (int x = 0; x < s; ++x) {
      const bool nearest = above[x];
      const bool farthest = below[x + 1];
      std::uint32_t coverage = 0;
      if (nearest == farthest) {
        coverage = nearest ? 255u : 0u;
      } else {
        int n = 0;
        for (double oy : SAMPLE_OFFSETS) {
          const double sy = y + oy;
          for (double ox : SAMPLE_OFFSETS) {
            const double sx = x + ox;
            if (R2 > sx * sx + sy * sy) ++n;
          }
        }
        coverage = static_cast<std::uint32_t>(16 * n - 1);
      }
      row[x] = (row[x] & keep) | (coverage << shift);
    }
    above = below;
  }
}

void LookupTables::releaseDiscCoverageTables() {
  // Every allocated table, even after a build that stopped part-way; the two
  // fixed tables of sizes 0 and 1 are members.
  for (auto& block : discBlocks_) block.reset();
  disc_.fill(nullptr);
  discBuilt_ = false;
}

}  // namespace qv
