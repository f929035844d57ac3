#pragma once

#include "ui/MainView.h"

namespace halvik::ui {

// The main window's logic: its load sequence, its status page, the page switch and the picture
// buttons. Pages: 0 status, 1 scan, 2 monitor, 3 help, 4 quarantine.
class MainPresenter {
 public:
  static constexpr int kPageCount = 5;
  static constexpr int kQuarantinePage = 4;

  explicit MainPresenter(MainView& view) : m_view(view) {}

  // Runs once before the window is first shown, in this order: makes the quarantine folder and
  // points the hidden file list at it, makes page 0 current, points the signature database at the
  // program folder's "scan.dll" and loads the signature sets, starts the monitor when
  // "LoadAdMonitor" is exactly "1" and shows its state, shows the signatures in use (version and
  // number of names; "illisibles" in red, and a log line, when no set is valid), then shows the
  // stored counters and the quarantine count. A step that fails is skipped and the next runs.
  void load();

  // Shows on the status page the number of files the quarantine holds.
  void refreshQuarantineCount();

  // Shows page `index`; the page already shown, or an index outside 0 to 4, changes nothing.
  // Entering page 4 points the hidden file list at the quarantine folder and fills its list anew.
  void SetCurrentFrame(int index);
  int CurrentFrame() const { return m_currentFrame; }

  // A picture button: 0 opens the maker's web site, 1 the settings dialog, 2 shows page 4 and 4
  // shows page 3. There are no buttons 3 and 5.
  void imgButton_Click(int index);

 private:
  void showMonitorState(bool loaded);
  void showSignatures();

  MainView& m_view;
  int m_currentFrame = 0;
};

}  // namespace halvik::ui
