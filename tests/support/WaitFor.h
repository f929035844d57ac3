#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace halvik::testing_support {

// Checks `condition` again and again, yielding between checks, until it holds (true) or a minute
// has passed (false): a generous bound for a machine whose cores are all busy.
inline bool waitFor(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::yield();
  }
  return true;
}

}  // namespace halvik::testing_support
