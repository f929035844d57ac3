#pragma once

#include "app/JsonLines.h"
#include "engine/WalkSink.h"

// Where a scan without a window writes what it finds, in the format the command line asks
// for: the walk's events as they come (one at a time), then what the repair did, then the
// summary.
namespace halvik::app {

class ScanReport : public engine::WalkSink {
 public:
  virtual void repaired(const engine::mScanFiles::Hit& hit, HitAction action) = 0;
  virtual void summary(const ScanSummary& summary) = 0;
};

}  // namespace halvik::app
