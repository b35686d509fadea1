#include "splat/brush_kind.h"

#include <array>
#include <cstddef>
#include <utility>

#include "splat/kernels.h"

namespace qv {

namespace {

// Which brushes a row of the table serves: pictures and discs share their
// kinds and differ in whether the brush has images.
enum class Images : std::uint8_t { Any, With, Without };

struct KindKernels {
  std::int32_t kind;
  Images images;
  Kernel inside;
  Kernel clipped;
};

constexpr Kernel NONE = reportLinkDrawError;

// Every kind that draws, with its kernels; the only place that says so.
constexpr KindKernels KIND_KERNELS[] = {
    {brushKind(BRUSH_CLASS_POINT, BRUSH_VARIANT_PLAIN), Images::Any, PointKernelInside, NONE},
    {brushKind(BRUSH_CLASS_POINT, BRUSH_VARIANT_BLEND), Images::Any, PointKernelInside, NONE},
    {brushKind(BRUSH_CLASS_BALL, BRUSH_VARIANT_PLAIN), Images::Any, BallKernelInside, BallKernelClipped},
    {brushKind(BRUSH_CLASS_BALL, BRUSH_VARIANT_BLEND), Images::Any, BallKernelInside, BallKernelClipped},
    {brushKind(BRUSH_CLASS_SPOT, BRUSH_VARIANT_PLAIN), Images::Any, SpotKernel0Inside, SpotKernel0Clipped},
    {brushKind(BRUSH_CLASS_SPOT, BRUSH_VARIANT_BLEND), Images::Any, SpotKernel1Inside, SpotKernel1Clipped},
    {brushKind(BRUSH_CLASS_SPOT, BRUSH_VARIANT_ADD), Images::Any, SpotKernel0Inside, SpotKernel0Clipped},
    {brushKind(BRUSH_CLASS_SPOT, BRUSH_VARIANT_SUBTRACT), Images::Any, SpotKernel3Inside, SpotKernel3Clipped},
    {brushKind(BRUSH_CLASS_SPOT, BRUSH_VARIANT_MULTIPLY), Images::Any, SpotKernel4Inside, SpotKernel4Clipped},
    {brushKind(BRUSH_CLASS_PICTURE, BRUSH_VARIANT_PLAIN), Images::With, ImageKernel0Inside,
     ImageKernel0Clipped},
    {brushKind(BRUSH_CLASS_PICTURE, BRUSH_VARIANT_BLEND), Images::With, ImageKernel0Inside,
     ImageKernel0Clipped},
    {brushKind(BRUSH_CLASS_PICTURE, BRUSH_VARIANT_ADD), Images::With, ImageKernel2Inside,
     ImageKernel2Clipped},
    {brushKind(BRUSH_CLASS_PICTURE, BRUSH_VARIANT_SUBTRACT), Images::With, ImageKernel3Inside,
     ImageKernel3Clipped},
    {brushKind(BRUSH_CLASS_PICTURE, BRUSH_VARIANT_MULTIPLY), Images::With, ImageKernel4Inside,
     ImageKernel4Clipped},
    {brushKind(BRUSH_CLASS_PICTURE, BRUSH_VARIANT_PLAIN), Images::Without, DiscKernel0Inside,
     DiscKernel0Clipped},
    {brushKind(BRUSH_CLASS_PICTURE, BRUSH_VARIANT_BLEND), Images::Without, DiscKernel0Inside,
     DiscKernel0Clipped},
    {brushKind(BRUSH_CLASS_PICTURE, BRUSH_VARIANT_ADD), Images::Without, DiscKernel2Inside,
     DiscKernel2Clipped},
    {brushKind(BRUSH_CLASS_PICTURE, BRUSH_VARIANT_SUBTRACT), Images::Without, DiscKernel3Inside,
     DiscKernel3Clipped},
    {brushKind(BRUSH_CLASS_PICTURE, BRUSH_VARIANT_MULTIPLY), Images::Without, DiscKernel4Inside,
     DiscKernel4Clipped},
};

// The table's kinds, each once, in the table's order (that of the codes):
// pictures and discs share theirs.
constexpr auto DRAWN_KINDS = [] {
  std::array<std::int32_t, std::size(KIND_KERNELS)> kinds{};
  std::size_t n = 0;
  for (const KindKernels& row : KIND_KERNELS) {
    bool listed = false;
    for (std::size_t i = 0; i < n; ++i) listed = listed || kinds[i] == row.kind;
    if (!listed) kinds[n++] = row.kind;
  }
  return std::pair{kinds, n};
}();
static_assert(DRAWN_KINDS.second == 14, "five pictures or discs, five spots, two balls, two points");

constexpr SplatPlacement placementOf(int cls) {
  switch (cls) {
    case BRUSH_CLASS_POINT: return SplatPlacement::Point;
    case BRUSH_CLASS_BALL:
    case BRUSH_CLASS_PICTURE: return SplatPlacement::BallBox;
    case BRUSH_CLASS_SPOT: return SplatPlacement::Box;
    default: return SplatPlacement::None;
  }
}

}  // namespace

BrushKindRecord resolveBrushKind(std::int32_t kind, bool hasImages) {
  BrushKindRecord record;
  record.placement = placementOf(brushClass(kind));
  const int variant = brushVariant(kind);
  record.skipsBlackTint = variant == BRUSH_VARIANT_ADD || variant == BRUSH_VARIANT_SUBTRACT;
  for (const KindKernels& row : KIND_KERNELS) {
    if (row.kind != kind || (row.images == Images::With && !hasImages) ||
        (row.images == Images::Without && hasImages)) {
      continue;
    }
    record.insideKernel = row.inside;
    record.clippedKernel = row.clipped;
    record.testsDepth = brushClass(kind) == BRUSH_CLASS_BALL;
    break;
  }
  return record;
}

std::span<const std::int32_t> drawnKinds() {
  return std::span<const std::int32_t>(DRAWN_KINDS.first.data(), DRAWN_KINDS.second);
}

bool brushKindDraws(std::int32_t kind) {
  for (const KindKernels& row : KIND_KERNELS) {
    if (row.kind == kind) return true;
  }
  return false;
}

}  // namespace qv
