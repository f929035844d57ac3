#pragma once

// Waiting for a condition in a test instead of sleeping for a guessed time: checks `condition`
// every few milliseconds until it holds or `limit` has passed. The limit is generous, since a
// busy machine slows everything; a passing test never waits for it.
#include <chrono>
#include <thread>

namespace halvik::testing_support {

template <typename Condition>
bool waitFor(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(30)) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace halvik::testing_support
