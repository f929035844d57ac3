#include "platform/Environment.h"

#include <ctime>

namespace halvik::platform {

// The coarse monotonic clock: its resolution (a few milliseconds) is far below the intervals
// it measures, and reading it costs a fraction of the precise one.
MonotonicClock systemClock() {
  timespec resolution{};
  ::clock_getres(CLOCK_MONOTONIC_COARSE, &resolution);
  return MonotonicClock{[] {
                          timespec now{};
                          ::clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
                          return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
                        },
                        resolution.tv_sec * 1'000'000'000LL + resolution.tv_nsec};
}

}  // namespace halvik::platform
