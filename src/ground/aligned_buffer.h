#pragma once
// An owned array in a block from allocAligned: freed when the buffer goes or
// is given a new block, moved but never copied (a copy needs the platform to
// report a failed allocation, so owners copy contents explicitly). Running
// out of memory is fatal and reported as allocAligned reports it; a buffer
// whose allocation failed is left empty.
//
// The elements are raw storage: the fill code decides their bytes, and owners
// of types with constructors place the objects themselves.

#include <cstddef>
#include <limits>
#include <type_traits>
#include <utility>

#include "ground/memory_blocks.h"
#include "ground/runtime_error.h"

namespace qv {

template <typename T>
class AlignedBuffer {
  static_assert(std::is_trivially_destructible_v<T>, "elements are never destroyed one by one");

 public:
  AlignedBuffer() = default;
  AlignedBuffer(Platform& platform, std::size_t count, std::size_t alignment, int fill) {
    allocate(platform, count, alignment, fill);
  }
  ~AlignedBuffer() { freeAligned(data_); }

  AlignedBuffer(AlignedBuffer&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}
  AlignedBuffer& operator=(AlignedBuffer&& other) noexcept {
    if (this != &other) {
      reset();
      data_ = std::exchange(other.data_, nullptr);
      size_ = std::exchange(other.size_, 0);
    }
    return *this;
  }
  AlignedBuffer(const AlignedBuffer&) = delete;
  AlignedBuffer& operator=(const AlignedBuffer&) = delete;

  // Frees the old block first, then takes a new one of `count` elements
  // starting on a multiple of `alignment`, filled by the fill code.
  void allocate(Platform& platform, std::size_t count, std::size_t alignment, int fill) {
    reset();
    if (count > std::numeric_limits<std::size_t>::max() / sizeof(T)) {
      reportRuntimeError(platform, errors::OUT_OF_MEMORY);
    }
    data_ = static_cast<T*>(allocAligned(platform, count * sizeof(T), alignment, fill));
    size_ = count;
  }
  void reset() noexcept {
    freeAligned(data_);
    data_ = nullptr;
    size_ = 0;
  }

  T* data() const { return data_; }
  std::size_t size() const { return size_; }
  std::size_t bytes() const { return size_ * sizeof(T); }
  T& operator[](std::size_t i) const { return data_[i]; }
  T* begin() const { return data_; }
  T* end() const { return data_ + size_; }
  explicit operator bool() const { return data_ != nullptr; }
  friend bool operator==(const AlignedBuffer& buffer, std::nullptr_t) { return buffer.data_ == nullptr; }

 private:
  T* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace qv
