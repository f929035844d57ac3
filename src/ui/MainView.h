#pragma once

#include <string>

namespace halvik::ui {

// A text colour as its red, green and blue parts.
struct TextColour {
  int red;
  int green;
  int blue;
  bool operator==(const TextColour&) const = default;
};

// The values of the status page that come from stored counters or the quarantine folder.
enum class StatusValue {
  LastSystemScan,   // lblStatus_System
  ObjectsRemoved,   // lblStatus_Removed
  TotalScans,       // lblStatus_Total
  QuarantineCount,  // lblStatus_Quarintine
};

// What the main window's logic does to the window: its hidden controls, its status page, its
// pages and the two things its picture buttons open.
class MainView {
 public:
  virtual ~MainView() = default;

  // Points the hidden quarantine file list at `folder`.
  virtual void listQuarantineFolder(const std::string& folder) = 0;
  // Starts the monitor's timer at the period it has, and lets the monitor follow its new state.
  virtual void loadMonitor() = 0;

  // The monitor's line of the status page: `text` in UTF-8.
  virtual void showMonitorStatus(const std::string& text, const TextColour& colour) = 0;
  // The signatures' line of the status page: `text` in UTF-8.
  virtual void showSignatures(const std::string& text, const TextColour& colour) = 0;
  // One value of the status page: `text` as stored (bytes in the system's encoding).
  virtual void showStatusValue(StatusValue value, const std::string& text) = 0;

  // Makes page `index` the only page shown.
  virtual void showPage(int index) = 0;
  // Fills the quarantine page's list from the quarantine folder.
  virtual void fillQuarantineList() = 0;

  // Shows the one settings dialog.
  virtual void showSettings() = 0;
  // Opens `address` in the user's web browser; a failure gives no message.
  virtual void openWebSite(const std::string& address) = 0;
};

}  // namespace halvik::ui
