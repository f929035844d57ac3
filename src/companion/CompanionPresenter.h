#pragma once

#include "companion/CompanionView.h"
#include "companion/ProcessSweep.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace halvik::process {
class MonitorLock;
}

namespace halvik::companion {

// The companion's decisions: when to run the active monitor's check, pausing while the main
// window's monitor holds the lock, and which suspensions to notify (once per process). The
// stored settings are read again at every check, so a change needs no restart.
class CompanionPresenter {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  CompanionPresenter(CompanionView& view, ProcessSweep& sweep, process::MonitorLock& lock, Clock clock);

  // Runs the check when it is due and tells how long to wait before calling again. Early calls
  // do nothing but say how long is left.
  std::chrono::milliseconds wake();

  // The period stored in "AdMonitorRefresh": one of the settings dialog's four values, else the
  // setting's default, as the dialog reads it.
  static std::chrono::milliseconds storedPeriod();

 private:
  using Identity = std::pair<std::uint32_t, std::uint64_t>;  // process identifier and start time

  void check();
  void showState(MonitorState state);
  void noticeSuspensions(const std::vector<SweepRow>& rows);

  CompanionView& m_view;
  ProcessSweep& m_sweep;
  process::MonitorLock& m_lock;
  Clock m_clock;
  std::optional<std::chrono::steady_clock::time_point> m_due;  // none before the first check
  std::optional<MonitorState> m_state;
  std::set<Identity> m_notified;  // suspended processes already notified, still running
};

}  // namespace halvik::companion
