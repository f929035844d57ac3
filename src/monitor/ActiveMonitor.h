#pragma once

#include "monitor/MonitorTimer.h"
#include "monitor/ProcessSweep.h"

#include <chrono>
#include <string>
#include <vector>

namespace halvik::process {
class MonitorLock;
}

namespace halvik::monitor {

// What the active monitor did last.
enum class MonitorStatus {
  Off,            // switched off
  On,             // switched on; its last check ran
  HeldElsewhere,  // its last check gave way to another holder of the monitor lock
};

// The active monitor, as both the main window and the companion run it: switched on and off with
// its timer, at the timer's period, one check per tick under the session's monitor lock (one
// monitor per session), and the rows of its last check. A check never waits for the lock: while
// another holder has it, the rows stay those of the last check and reason() says why.
class ActiveMonitor {
 public:
  // How long the lock is held: the main window's monitor holds it for as long as it is on, so
  // that the companion's checks pause meanwhile; the companion holds it only during each check.
  enum class Hold { WhileOn, DuringCheck };

  ActiveMonitor(MonitorTimer& timer, ProcessSweep& sweep, process::MonitorLock& lock, Hold hold);

  bool on() const { return m_timer.active(); }
  // Starts the timer at its period (the first check one period later); holding the lock while
  // on, takes it now, or at a later check while another holder has it.
  void switchOn();
  // Stops the timer and lets the lock go.
  void switchOff();

  std::chrono::milliseconds period() const { return m_timer.period(); }
  void setPeriod(std::chrono::milliseconds period) { m_timer.setPeriod(period); }

  // One check under the lock, taken without waiting. True when it ran: rows() are its rows. False
  // when another holder has the lock: rows() keep the last check's and reason() says why. A lock
  // that cannot be taken for another reason never stops the check. A check while off (run by
  // hand) lets the lock go again at once.
  bool check();

  MonitorStatus status() const { return m_status; }
  const std::vector<SweepRow>& rows() const { return m_rows; }
  // Why rows() are not those of a check made now (UTF-8); empty when they are.
  const std::string& reason() const { return m_reason; }

 private:
  MonitorTimer& m_timer;
  ProcessSweep& m_sweep;
  process::MonitorLock& m_lock;
  Hold m_hold;
  MonitorStatus m_status = MonitorStatus::Off;
  std::vector<SweepRow> m_rows;
  std::string m_reason;
};

}  // namespace halvik::monitor
