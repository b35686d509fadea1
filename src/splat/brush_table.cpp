#include "splat/brush_table.h"

#include "frame/lookup_tables.h"
#include "ground/memory_blocks.h"
#include "ground/runtime_error.h"
#include "splat/brush_images.h"
#include "splat/brush_picture.h"
#include "splat/kernels.h"

namespace qv {

bool brushKindDraws(std::int32_t kind) {
  for (const std::int32_t drawn : DRAWN_BRUSH_KINDS) {
    if (kind == drawn) return true;
  }
  return false;
}

BrushTable::BrushTable(Platform& platform, LookupTables& tables, BrushImages& images, PictureLayer& pictures)
    : platform_(platform), tables_(tables), images_(images), pictures_(pictures) {}

BrushTable::~BrushTable() = default;

void BrushTable::checkIndex(int index) {
  if (index < 0 || index >= BRUSH_SLOTS) reportRuntimeError(platform_, errors::INDEX_OUT_OF_RANGE);
}

void BrushTable::selectBrush(int index) {
  checkIndex(index);
  currentIndex_ = index;
  if (!slots_[index]) createBrush();
}

void BrushTable::createBrush() {
  destroyBrush();
  slots_[currentIndex_] = std::make_unique<Brush>();
}

void BrushTable::destroyBrush() { slots_[currentIndex_].reset(); }

Brush& BrushTable::current() {
  if (!slots_[currentIndex_]) createBrush();
  return *slots_[currentIndex_];
}

Brush* BrushTable::at(int index) const {
  if (index < 0 || index >= BRUSH_SLOTS) return nullptr;
  return slots_[index].get();
}

void BrushTable::freeImages(Brush& brush) {
  for (auto& image : brush.quadrantImages) image.reset();
}

void BrushTable::setupBrush(Brush& brush, std::int32_t kind, std::uint32_t colour, std::string_view name) {
  const bool hasName = !name.empty();
  if (resetBrushImages(brush, kind, colour, hasName) == 1) return;
  const int cls = brushClass(kind);
  if (!hasName) {
    if (cls == BRUSH_CLASS_BALL) images_.generateBall(brush);
    if (cls == BRUSH_CLASS_SPOT) images_.generateSpot(brush);
    return;
  }
  if (name == BALL_SOURCE) {
    images_.generateBall(brush);
  } else if (name == SPOT_SOURCE) {
    images_.generateSpot(brush);
  } else {
    loadBrushPicture(pictures_, brush, name);
  }
}

int BrushTable::resetBrushImages(Brush& brush, std::int32_t kind, std::uint32_t colour, bool hasName) {
  brush.kind = kind;
  brush.colour = colour;
  freeImages(brush);
  const int cls = brushClass(kind);
  if (cls == BRUSH_CLASS_POINT || (cls == BRUSH_CLASS_PICTURE && !hasName)) {
    chooseKernels(brush);
    return 1;
  }
  // Ball and spot images of variant 4 (multiply) start white, so the texels
  // the generator leaves alone multiply by nothing; all others start black.
  const int fill =
      (cls != BRUSH_CLASS_PICTURE && brushVariant(kind) == BRUSH_VARIANT_MULTIPLY) ? FILL_ONES : FILL_ZERO;
  for (auto& image : brush.quadrantImages) image.allocate(platform_, IMAGE_TEXELS, IMAGE_ALIGNMENT, fill);
  chooseKernels(brush);
  return 0;
}

void BrushTable::chooseKernels(Brush& brush) {
  brush.clippedKernel = reportLinkDrawError;
  brush.insideKernel = reportLinkDrawError;
  const int variant = brushVariant(brush.kind);
  auto use = [&brush](Kernel clipped, Kernel inside) {
    brush.clippedKernel = clipped;
    brush.insideKernel = inside;
  };
  switch (brushClass(brush.kind)) {
    case BRUSH_CLASS_POINT:
      // A point outside the frame is skipped before any kernel: no clipped form.
      if (variant <= BRUSH_VARIANT_BLEND) brush.insideKernel = PointKernelInside;
      break;
    case BRUSH_CLASS_BALL:
      if (variant <= BRUSH_VARIANT_BLEND) use(BallKernelClipped, BallKernelInside);
      break;
    case BRUSH_CLASS_SPOT:
      switch (variant) {
        case BRUSH_VARIANT_PLAIN:
        case BRUSH_VARIANT_ADD: use(SpotKernel0Clipped, SpotKernel0Inside); break;
        case BRUSH_VARIANT_BLEND: use(SpotKernel1Clipped, SpotKernel1Inside); break;
        case BRUSH_VARIANT_SUBTRACT: use(SpotKernel3Clipped, SpotKernel3Inside); break;
        case BRUSH_VARIANT_MULTIPLY: use(SpotKernel4Clipped, SpotKernel4Inside); break;
        default: break;
      }
      break;
    case BRUSH_CLASS_PICTURE:
      if (brush.hasImages()) {
        switch (variant) {
          case BRUSH_VARIANT_PLAIN:
          case BRUSH_VARIANT_BLEND: use(ImageKernel0Clipped, ImageKernel0Inside); break;
          case BRUSH_VARIANT_ADD: use(ImageKernel2Clipped, ImageKernel2Inside); break;
          case BRUSH_VARIANT_SUBTRACT: use(ImageKernel3Clipped, ImageKernel3Inside); break;
          case BRUSH_VARIANT_MULTIPLY: use(ImageKernel4Clipped, ImageKernel4Inside); break;
          default: break;
        }
      } else {
        switch (variant) {
          case BRUSH_VARIANT_PLAIN:
          case BRUSH_VARIANT_BLEND: use(DiscKernel0Clipped, DiscKernel0Inside); break;
          case BRUSH_VARIANT_ADD: use(DiscKernel2Clipped, DiscKernel2Inside); break;
          case BRUSH_VARIANT_SUBTRACT: use(DiscKernel3Clipped, DiscKernel3Inside); break;
          case BRUSH_VARIANT_MULTIPLY: use(DiscKernel4Clipped, DiscKernel4Inside); break;
          default: break;
        }
        tables_.buildDiscCoverageTables();
      }
      break;
    default: break;
  }
}

void BrushTable::copyBrush(int source, int destination) {
  checkIndex(source);
  checkIndex(destination);
  if (!slots_[source]) {
    selectBrush(source);
  }
  selectBrush(destination);
  slots_[destination]->copyFrom(platform_, *slots_[source]);
}

bool BrushTable::anyBrushTestsDepth() const {
  for (const auto& slot : slots_) {
    if (slot && (slot->insideKernel == BallKernelInside || slot->clippedKernel == BallKernelClipped))
      return true;
  }
  return false;
}

}  // namespace qv
