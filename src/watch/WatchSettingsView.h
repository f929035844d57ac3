#pragma once

#include <optional>
#include <string>
#include <vector>

namespace halvik::watch {

// The dialog "Dossiers surveillés" as its presenter sees it: the list of folders, the two
// switches, and the folder chooser.
class WatchSettingsView {
 public:
  virtual ~WatchSettingsView() = default;
  virtual void showFolders(const std::vector<std::string>& folders) = 0;
  virtual std::vector<std::string> folders() const = 0;
  virtual int selectedFolder() const = 0;  // -1 when none is selected
  virtual void showSwitches(bool watchFiles, bool autoQuarantine) = 0;
  virtual bool watchFiles() const = 0;
  virtual bool autoQuarantine() const = 0;
  // Asks the user for a folder; nullopt when cancelled.
  virtual std::optional<std::string> chooseFolder() = 0;
};

}  // namespace halvik::watch
