#include "platform/Platform.h"

#include <sys/resource.h>

namespace halvik::platform {

std::uint64_t diskBytesReadByThread() {
  rusage usage{};
  if (getrusage(RUSAGE_THREAD, &usage) != 0 || usage.ru_inblock < 0) return 0;
  return static_cast<std::uint64_t>(usage.ru_inblock) * 512;  // counted in blocks of 512 bytes
}

}  // namespace halvik::platform
