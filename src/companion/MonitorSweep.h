#pragma once

#include "companion/ProcessSweep.h"

namespace halvik::companion {

// The check of the main window's monitor (mProcess::RefreshProcessList), with its lookup,
// suspension, safety rules and log lines, its rows collected instead of shown.
class MonitorSweep : public ProcessSweep {
 public:
  std::vector<SweepRow> run() override;
};

}  // namespace halvik::companion
