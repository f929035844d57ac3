#pragma once

#include <chrono>

namespace halvik::monitor {

// The timer that drives an active monitor: its running state is the monitor's on/off state, and
// each of its ticks is one check (ActiveMonitor::check). The main window's is tmrAdMonitor; the
// companion's is its own schedule of wakes; tests use a fake.
class MonitorTimer {
 public:
  virtual ~MonitorTimer() = default;

  virtual bool active() const = 0;
  // Starts ticking at the period it has: the first tick comes one period later.
  virtual void start() = 0;
  virtual void stop() = 0;
  virtual std::chrono::milliseconds period() const = 0;
  // Sets the period, whether the timer runs or not.
  virtual void setPeriod(std::chrono::milliseconds period) = 0;
};

}  // namespace halvik::monitor
