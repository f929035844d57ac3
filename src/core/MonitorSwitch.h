#pragma once

#include <string>

namespace halvik::core {

// The active monitor as the main window keeps it: the timer whose running state is the
// monitor's on/off state (a refresh at every tick), and the monitor's line on the status page.
class MonitorSwitch {
 public:
  virtual ~MonitorSwitch() = default;

  virtual bool monitorOn() const = 0;
  // Starts the timer: the first tick comes one interval later.
  virtual void startMonitor() = 0;
  virtual void stopMonitor() = 0;
  // lblStatus_Admonitor: `caption` (UTF-8), in black when `on`, in red otherwise.
  virtual void showMonitorState(const std::string& caption, bool on) = 0;
};

}  // namespace halvik::core
