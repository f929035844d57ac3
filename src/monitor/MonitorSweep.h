#pragma once

#include "monitor/ProcessSweep.h"

namespace halvik::monitor {

// The monitor's check (mProcess::RefreshProcessList), with its lookup, suspension, safety rules
// and log lines, its rows collected as the list would show them: on a platform identifier other
// than 2 the rows of a check follow those of the checks before, as in the list.
class MonitorSweep : public ProcessSweep {
 public:
  std::vector<SweepRow> run() override;

 private:
  std::vector<SweepRow> m_rows;
};

}  // namespace halvik::monitor
