#include "platform/Environment.h"

#include <chrono>

namespace halvik::platform {

MonotonicClock systemClock() {
  return MonotonicClock{[] {
                          const auto now = std::chrono::steady_clock::now().time_since_epoch();
                          return static_cast<std::int64_t>(
                              std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
                        },
                        0};
}

}  // namespace halvik::platform
