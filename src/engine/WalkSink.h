#pragma once

#include "engine/ScanHit.h"

#include <string>

namespace halvik::engine {

// What a parallel walk reports as it goes. The walk calls one function at a time, whichever of
// its threads calls, so a sink writes whole lines without a lock of its own.
class WalkSink {
 public:
  virtual ~WalkSink() = default;
  virtual void hit(const mScanFiles::Hit& hit) = 0;
  // A folder the walk could not open or list (raw bytes of its path).
  virtual void unreadable(const std::string& path) = 0;
  // An entry an exclusion kept out of the walk: a folder is not entered, a file not looked up.
  virtual void excluded(const std::string& path) = 0;
};

}  // namespace halvik::engine
