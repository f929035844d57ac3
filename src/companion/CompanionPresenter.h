#pragma once

#include "companion/CompanionView.h"
#include "monitor/ActiveMonitor.h"
#include "monitor/MonitorTimer.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>

namespace halvik::process {
class MonitorLock;
}

namespace halvik::companion {

// The companion's decisions: when to run the active monitor's check, pausing while the main
// window's monitor holds the lock, which suspensions to notify (once per process), and "Reprendre"
// chosen on a notice. The stored settings are read again at every check, so a change needs no
// restart. Its schedule of wakes is the active monitor's timer.
class CompanionPresenter : private monitor::MonitorTimer {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  CompanionPresenter(CompanionView& view, monitor::ProcessSweep& sweep, process::MonitorLock& lock, Clock clock);

  // Runs the check when it is due and tells how long to wait before calling again. Early calls
  // do nothing but say how long is left.
  std::chrono::milliseconds wake();

  // "Reprendre" chosen on the suspension notice `notice`: the process it announced runs again, as
  // the monitor list's "Reprendre" resumes it (identity checked, logged, exempt from both monitors
  // while it runs). Nothing once its process is no longer listed as suspended.
  void resumeChosen(std::uint32_t notice);

  // The period stored in "AdMonitorRefresh": one of the settings dialog's four values, else the
  // setting's default, as the dialog reads it.
  static std::chrono::milliseconds storedPeriod();

 private:
  using Identity = std::pair<std::uint32_t, std::uint64_t>;  // process identifier and start time
  struct Notice {
    std::uint32_t number = 0;  // the view's number of the notice
    std::string imagePath;     // as the check listed it
  };

  void check();
  void showState(MonitorState state);
  void noticeSuspensions(const std::vector<monitor::SweepRow>& rows);

  // monitor::MonitorTimer: wake() keeps the time of the next check.
  bool active() const override { return m_on; }
  void start() override { m_on = true; }
  void stop() override { m_on = false; }
  std::chrono::milliseconds period() const override { return m_period; }
  void setPeriod(std::chrono::milliseconds period) override { m_period = period; }

  CompanionView& m_view;
  Clock m_clock;
  monitor::ActiveMonitor m_monitor;
  bool m_on = false;
  std::chrono::milliseconds m_period{0};
  std::optional<std::chrono::steady_clock::time_point> m_due;  // none before the first check
  std::optional<MonitorState> m_state;
  std::map<Identity, Notice> m_notified;  // suspended processes already notified, still running
};

}  // namespace halvik::companion
