#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace halvik::monitor {

// One process as the monitor's check left it: a row of the monitor page's list.
struct SweepRow {
  std::uint32_t processId = 0;
  std::uint64_t startTime = 0;
  std::string imagePath;
  std::string status;  // "Status des Adwares": the threat name, or "No"
  std::string action;  // "Action Taken": "Application Suspended", or "N/A"
};

// One run of the active monitor's check over every running process.
class ProcessSweep {
 public:
  virtual ~ProcessSweep() = default;
  virtual std::vector<SweepRow> run() = 0;
};

}  // namespace halvik::monitor
