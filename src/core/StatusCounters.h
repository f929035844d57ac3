#pragma once

#include <string>

namespace halvik::core {

// The counters of the main window's status page, as the other pages update them. Texts are
// the counts in decimal digits.
class StatusCounters {
 public:
  virtual ~StatusCounters() = default;

  virtual void showTotalScans(const std::string& total) = 0;      // lblStatus_Total
  virtual void showObjectsRemoved(const std::string& total) = 0;  // lblStatus_Removed
  // lblStatus_Quarintine: counts the files the quarantine folder holds now.
  virtual void refreshQuarantineCount() = 0;
};

}  // namespace halvik::core
