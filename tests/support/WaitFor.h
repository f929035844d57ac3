#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace halvik::testing_support {

// Waits until `condition` holds, checking it again and again, for a minute at most: generous
// enough for processes started under Wine or on busy cores. False when it never held.
inline bool waitFor(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::yield();
  }
  return true;
}

}  // namespace halvik::testing_support
