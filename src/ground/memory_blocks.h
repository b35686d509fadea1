#pragma once
// The two allocators from which all large working memory comes. Failure is
// fatal and goes through the error report.

#include <cstddef>

namespace qv {

class Platform;

// Fill codes of allocAligned.
inline constexpr int FILL_NONE = 0;    // contents left as the heap had them
inline constexpr int FILL_ZERO = 1;    // any non-zero code but 255
inline constexpr int FILL_ONES = 255;  // every byte 0xFF

// A block of `size` bytes starting on a multiple of `alignment` inside a larger
// heap allocation whose address is kept in the pointer-sized slot just before
// the block.
void* allocAligned(Platform& platform, std::size_t size, std::size_t alignment, int fill);
// The alignment of allocAligned16, which most working arrays use.
inline constexpr std::size_t ALIGNMENT_16 = 16;
void* allocAligned16(Platform& platform, std::size_t size, int fill);
void freeAligned(void* block);

// A zero-initialised fixed block (the depth buffer's).
void* allocGlobal(Platform& platform, std::size_t size, int zero);
void freeGlobal(void* block);

}  // namespace qv
