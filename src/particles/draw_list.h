#pragma once
// The per-frame draw list: every particle of every system copied into one
// flat array of entries, its position carried into view space by its system's
// transform, and the order in which the entries are drawn (storage order, or
// far to near when sorted by depth). Drawing reads only this list.

#include <cstdint>
#include <vector>

#include "geometry/transform.h"
#include "geometry/vec3.h"
#include "ground/aligned_buffer.h"
#include "ground/hook.h"
#include "particles/particle_system.h"

namespace qv {

class Platform;

struct DrawEntry {
  std::int32_t systemIndex = 0;
  std::int32_t particleIndex = 0;
  std::int32_t brush = 0;
  std::int32_t lifespan = 0;
  std::int32_t countdown = 0;
  Vec3 position;  // view space
  double size = 0.0;
  std::uint32_t colour = 0;  // 0xAARRGGBB, alpha = opacity
};

// What the entry hook reads: the entry just filled and the particle it was
// filled from.
struct DrawCursor {
  DrawEntry* entry = nullptr;
  std::int32_t particleIndex = 0;
  const Particle* particle = nullptr;
};

// One slot of the draw order: the entry drawn at this place and its depth.
struct DrawPair {
  std::int32_t entryIndex = 0;
  std::int32_t depthKey = 0;  // trunc(10000 * view z); larger is farther
};

class DrawList {
 public:
  DrawList(Platform& platform, SystemTable& systems, TransformTable& transforms);
  ~DrawList();
  DrawList(const DrawList&) = delete;
  DrawList& operator=(const DrawList&) = delete;

  AlignedBuffer<DrawEntry> entries;  // drawCount entries
  AlignedBuffer<DrawPair> order;     // the DrawOrder: drawCount pairs in drawing order
  std::int32_t drawCount = 0;
  DrawEntry* currentEntry = nullptr;
  Hook entryHook;  // called for every entry right after it is filled
  // Set by whoever installs an entry hook that reads only cursor() and
  // changes only the cursor's entry: then several threads may fill parts of
  // the list at once, each calling the hook for its own entries.
  bool entryHookKeepsToCursor = false;

  // Fills the list and the order for this frame; with sort non-zero the
  // order runs from the largest depth key to the smallest.
  void buildDrawList(std::int32_t sort);

  // The same build in parts, for several threads: beginDrawList sizes the
  // list (on the calling thread); fillEntries(first, end) then fills entries
  // first ... end - 1 and their places in the order, on any thread, parts
  // that do not overlap at once; endDrawList, once every entry is filled,
  // leaves everything current as buildDrawList does. Only for frames
  // without depth sorting, and only when fillsInParts says so.
  bool fillsInParts(std::int32_t sort) const { return sort == 0 && (!entryHook || entryHookKeepsToCursor); }
  void beginDrawList();
  void fillEntries(std::int32_t first, std::int32_t end);
  void endDrawList();

  // The entry hook's view: the entry being filled on this thread.
  const DrawCursor& cursor() const { return threadCursor_ != nullptr ? *threadCursor_ : cursor_; }
  // currentEntry = the entry drawn k-th.
  void selectEntry(std::int32_t k);
  void freeDrawList();

  std::int32_t orderCapacity() const { return static_cast<std::int32_t>(order.size()); }

 private:
  void sortPairs(std::int32_t lo, std::int32_t hi);
  // Sizes the list for this frame's particles; returns the count.
  std::int32_t sizeList();
  // Calls each(index, system, first entry) for every system with particles,
  // in order, making it and its transform current first.
  template <class EachSystem>
  void walkSystems(EachSystem&& each);

  // Where each system's entries begin (systems with particles, in order).
  struct SystemRun {
    std::int32_t systemIndex;
    std::int32_t firstEntry;
  };
  std::vector<SystemRun> runs_;
  DrawCursor cursor_;
  // The cursor of a thread filling a part of the list, while it does.
  // Defined here with its constant start, so that reading it is a plain
  // thread-local load, with no call to make it first.
  static inline thread_local DrawCursor* threadCursor_ = nullptr;

  Platform& platform_;
  SystemTable& systems_;
  TransformTable& transforms_;
};

}  // namespace qv
