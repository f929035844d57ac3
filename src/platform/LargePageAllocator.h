#pragma once

#include <cstddef>
#include <new>
#include <string>

namespace halvik::platform {

// Memory for large blocks (parsed files, their indexes) placed on large pages where the
// system offers them: first touching a block then costs one page fault per 2 MiB instead of
// one per 4 KiB, which is most of the time a large file takes to load. Small blocks come
// from the ordinary heap.
void* allocateLarge(std::size_t bytes);
void freeLarge(void* block, std::size_t bytes);

template <typename T>
struct LargePageAllocator {
  using value_type = T;
  LargePageAllocator() = default;
  template <typename U>
  LargePageAllocator(const LargePageAllocator<U>&) noexcept {}

  T* allocate(std::size_t count) { return static_cast<T*>(allocateLarge(count * sizeof(T))); }
  void deallocate(T* block, std::size_t count) noexcept { freeLarge(block, count * sizeof(T)); }

  template <typename U>
  bool operator==(const LargePageAllocator<U>&) const noexcept { return true; }
};

// The bytes of a file as the profile code keeps them.
using Bytes = std::basic_string<char, std::char_traits<char>, LargePageAllocator<char>>;

}  // namespace halvik::platform
