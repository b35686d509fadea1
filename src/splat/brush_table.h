#pragma once
// The 512-slot brush table with its current brush. Particles name brushes by
// index; selecting an empty slot creates a default brush there. After every
// operation the current brush is the brush in the slot of the current index.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "splat/brush.h"

namespace qv {

class Platform;
class LookupTables;
class BrushImages;
class PictureLayer;

inline constexpr int BRUSH_SLOTS = 512;

// Source names that setupBrush generates instead of loading a picture.
inline constexpr std::string_view BALL_SOURCE = "compBALL";
inline constexpr std::string_view SPOT_SOURCE = "compSPOT";

class BrushTable {
 public:
  // Named picture sources are loaded through `pictures`.
  BrushTable(Platform& platform, LookupTables& tables, BrushImages& images, PictureLayer& pictures);
  ~BrushTable();
  BrushTable(const BrushTable&) = delete;
  BrushTable& operator=(const BrushTable&) = delete;

  // The index becomes current; an empty slot gets a default brush. An index
  // outside 0 ... 511 is a fatal error.
  void selectBrush(int index);
  // Replaces the current slot's brush by a default one.
  void createBrush();
  // Frees the current slot's brush and its images; the slot becomes empty.
  void destroyBrush();

  // Builds a brush for a kind code: its images (generated, loaded from the
  // named picture, or none) and its kernels. An empty name means no source;
  // "compBALL" and "compSPOT" name the generators.
  void setupBrush(Brush& brush, std::int32_t kind, std::uint32_t colour, std::string_view name);
  // Stores kind and colour, frees the images and allocates fresh ones when the
  // class has them. 1: no images (nothing to build); 0: images to fill.
  int resetBrushImages(Brush& brush, std::int32_t kind, std::uint32_t colour, bool hasName);
  // Resolves the kind, with whether image 0 exists, into the brush's kind
  // record (its kernels and what its splats need); builds the disc coverage
  // tables for a disc.
  void chooseKernels(Brush& brush);
  // Makes the destination a copy of the source, images included; the
  // destination is current afterwards.
  void copyBrush(int source, int destination);

  // Whether any brush draws with the depth test (the ball kernels, the only
  // readers and writers of the depth buffer).
  bool anyBrushTestsDepth() const;

  int currentIndex() const { return currentIndex_; }
  Brush& current();
  // The brush in a slot, or null when it is empty (or the index is outside).
  Brush* at(int index) const {
    return index >= 0 && index < BRUSH_SLOTS ? slots_[static_cast<std::size_t>(index)].get() : nullptr;
  }

 private:
  void checkIndex(int index);
  void freeImages(Brush& brush);

  Platform& platform_;
  LookupTables& tables_;
  BrushImages& images_;
  PictureLayer& pictures_;
  std::array<std::unique_ptr<Brush>, BRUSH_SLOTS> slots_;
  int currentIndex_ = 0;
};

}  // namespace qv
