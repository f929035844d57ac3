#pragma once

// The ways the program signals a process it has judged. On Linux: through a pidfd, or, where the
// system has no pidfds, by checking the identifier again right before the signal; suites run
// their cases both ways. Windows has one way.
#ifndef _WIN32
#include "platform/posix/Pidfd.h"
#endif

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace halvik::testing_support {

enum class SignalPath { Native, WithoutPidfds };

inline std::vector<SignalPath> signalPaths() {
#ifdef _WIN32
  return {SignalPath::Native};
#else
  return {SignalPath::Native, SignalPath::WithoutPidfds};
#endif
}

inline std::string signalPathName(const ::testing::TestParamInfo<SignalPath>& info) {
  return info.param == SignalPath::Native ? "Native" : "WithoutPidfds";
}

inline void PrintTo(SignalPath path, std::ostream* out) {
  *out << (path == SignalPath::Native ? "Native" : "WithoutPidfds");
}

// Takes `path` for the life of the object.
class ScopedSignalPath {
 public:
  explicit ScopedSignalPath(SignalPath path) { simulate(path == SignalPath::WithoutPidfds); }
  ~ScopedSignalPath() { simulate(false); }
  ScopedSignalPath(const ScopedSignalPath&) = delete;
  ScopedSignalPath& operator=(const ScopedSignalPath&) = delete;

 private:
  static void simulate([[maybe_unused]] bool missing) {
#ifndef _WIN32
    platform::posix::simulateMissingPidfds(missing);
#endif
  }
};

}  // namespace halvik::testing_support
