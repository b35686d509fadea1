#include "ground/memory_blocks.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "ground/runtime_error.h"

namespace qv {

void* allocAligned(Platform& platform, std::size_t size, std::size_t alignment, int fill) {
  constexpr std::size_t P = sizeof(void*);
  if (alignment == 0) alignment = 1;
  void* raw = nullptr;
  if (size <= std::numeric_limits<std::size_t>::max() - alignment - P) {
    raw = std::malloc(size + alignment + P);
  }
  if (raw == nullptr) reportRuntimeError(platform, errors::OUT_OF_MEMORY);

  // The first multiple of the alignment strictly above raw + P: room for the
  // stored pointer before it, and the block still ends inside the allocation.
  const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(raw) + P;
  const std::uintptr_t aligned = (address / alignment + 1) * alignment;
  auto* block = reinterpret_cast<unsigned char*>(raw) + (aligned - reinterpret_cast<std::uintptr_t>(raw));
  std::memcpy(block - P, &raw, P);

  if (fill == FILL_ONES) {
    std::memset(block, 0xFF, size);
  } else if (fill != FILL_NONE) {
    std::memset(block, 0, size);
  }
  return block;
}

void* allocAligned16(Platform& platform, std::size_t size, int fill) {
  return allocAligned(platform, size, ALIGNMENT_16, fill);
}

void freeAligned(void* block) {
  if (block == nullptr) return;
  void* raw = nullptr;
  std::memcpy(&raw, static_cast<unsigned char*>(block) - sizeof(void*), sizeof(void*));
  if (raw != nullptr) std::free(raw);
}

void* allocGlobal(Platform& platform, std::size_t size, int /*zero*/) {
  // calloc hands back zeroed memory, which is all the zero flag asks for.
  void* block = std::calloc(size == 0 ? 1 : size, 1);
  if (block == nullptr) reportRuntimeError(platform, errors::OUT_OF_MEMORY);
  return block;
}

void freeGlobal(void* block) { std::free(block); }

}  // namespace qv
