#pragma once
// A brush kind is a class (kind >> 16: a pixel, a lit ball, a soft spot, a
// picture or a procedural disc) and a blend variant (kind & 0xFFFF). When a
// brush is set up its kind is resolved once into a BrushKindRecord, which is
// all the per-splat code reads of it: the pair of kernels, where a splat
// goes, whether it tests depth, and whether a black tint leaves it nothing
// to draw. The one table of kernels by kind is in brush_kind.cpp; which
// kinds draw is read from it too.

#include <cstdint>
#include <span>

#include "splat/kernel.h"

namespace qv {

// Brush classes (kind >> 16).
inline constexpr int BRUSH_CLASS_POINT = 1;
inline constexpr int BRUSH_CLASS_BALL = 2;
inline constexpr int BRUSH_CLASS_SPOT = 3;
inline constexpr int BRUSH_CLASS_PICTURE = 4;  // a disc when it has no images

// Brush variants (kind & 0xFFFF): how the splat meets the frame. Pictures and
// discs blend over it with PLAIN and BLEND; spots add with PLAIN and blend
// towards the brush colour by the texel with BLEND; balls (depth-tested) and
// points know PLAIN and BLEND only, which draw alike.
inline constexpr int BRUSH_VARIANT_PLAIN = 0;
inline constexpr int BRUSH_VARIANT_BLEND = 1;
inline constexpr int BRUSH_VARIANT_ADD = 2;
inline constexpr int BRUSH_VARIANT_SUBTRACT = 3;
inline constexpr int BRUSH_VARIANT_MULTIPLY = 4;

constexpr int brushClass(std::int32_t kind) { return kind >> 16; }
constexpr int brushVariant(std::int32_t kind) { return kind & 0xFFFF; }
constexpr std::int32_t brushKind(int cls, int variant) { return cls << 16 | variant; }

inline constexpr std::int32_t POINT_BRUSH = brushKind(BRUSH_CLASS_POINT, BRUSH_VARIANT_PLAIN);
inline constexpr std::int32_t DEFAULT_BRUSH_KIND = POINT_BRUSH;

// Where a splat of the class goes: nowhere (a class without a set-up), one
// pixel, a square box, or a box whose centre also gets a depth and the tiny
// ball flag (balls and pictures).
enum class SplatPlacement : std::uint8_t { None, Point, Box, BallBox };

struct BrushKindRecord {
  // reportLinkDrawError where the kind has no kernel; a point has no clipped
  // kernel, as a point outside the frame is skipped before any kernel.
  Kernel insideKernel = reportLinkDrawError;
  Kernel clippedKernel = reportLinkDrawError;
  SplatPlacement placement = SplatPlacement::Point;
  bool testsDepth = false;      // reads and writes the depth buffer (the ball kernels)
  bool skipsBlackTint = false;  // adds or subtracts: a tint of 0 draws nothing
};

// The record of a kind, for a brush with images or without (only pictures
// and discs tell the two apart).
BrushKindRecord resolveBrushKind(std::int32_t kind, bool hasImages);

// The kinds that have a kernel pair, with images or without, in the order
// of their codes; every other kind draws nothing or fails at its first splat.
std::span<const std::int32_t> drawnKinds();
bool brushKindDraws(std::int32_t kind);

}  // namespace qv
