#include "platform/LargePageAllocator.h"

// Large pages on Windows need the "lock pages in memory" right, which users do not hold:
// large blocks come from the ordinary heap like small ones.
namespace halvik::platform {

void* allocateLarge(std::size_t bytes) { return ::operator new(bytes); }

void freeLarge(void* block, std::size_t /*bytes*/) { ::operator delete(block); }

}  // namespace halvik::platform
