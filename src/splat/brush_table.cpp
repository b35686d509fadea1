#include "splat/brush_table.h"

#include "frame/lookup_tables.h"
#include "ground/memory_blocks.h"
#include "ground/runtime_error.h"
#include "splat/brush_images.h"
#include "splat/brush_picture.h"

namespace qv {

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
  brush.kindRecord = resolveBrushKind(brush.kind, brush.hasImages());
  if (brushClass(brush.kind) == BRUSH_CLASS_PICTURE && !brush.hasImages()) tables_.buildDiscCoverageTables();
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
    if (slot && slot->kindRecord.testsDepth) return true;
  }
  return false;
}

}  // namespace qv
