#include "platform/LargePageAllocator.h"

#include <cstdlib>

#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#define HALVIK_LARGE_PAGES 1
#endif

namespace halvik::platform {

#ifdef HALVIK_LARGE_PAGES
namespace {
constexpr std::size_t kLargePage = std::size_t{2} << 20;
constexpr std::size_t kLargeBlock = std::size_t{512} << 10;  // from here on, blocks go on large pages

std::size_t roundedUp(std::size_t bytes) { return (bytes + kLargePage - 1) / kLargePage * kLargePage; }
}  // namespace

void* allocateLarge(std::size_t bytes) {
  if (bytes < kLargeBlock) return ::operator new(bytes);
  void* block = std::aligned_alloc(kLargePage, roundedUp(bytes));
  if (!block) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
  ::madvise(block, roundedUp(bytes), MADV_HUGEPAGE);
#endif
  return block;
}

void freeLarge(void* block, std::size_t bytes) {
  if (bytes < kLargeBlock) {
    ::operator delete(block);
  } else {
    std::free(block);
  }
}
#else
// Systems without large-page advice get the ordinary heap.
void* allocateLarge(std::size_t bytes) { return ::operator new(bytes); }
void freeLarge(void* block, std::size_t) { ::operator delete(block); }
#endif

}  // namespace halvik::platform
