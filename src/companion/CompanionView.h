#pragma once

#include <cstdint>
#include <string>

namespace halvik::companion {

// Where the active monitor runs, as the companion's tray icon says it.
enum class MonitorState {
  Off,           // "LoadAdMonitor" is not "1": the companion does not check
  On,            // the companion checks at the stored period
  InMainWindow,  // the main window's monitor is on: the companion's checks pause meanwhile
};

// What the companion shows: the tray icon's tooltip, and a desktop notification.
class CompanionView {
 public:
  virtual ~CompanionView() = default;
  virtual void showMonitorState(MonitorState state) = 0;
  // "<threatName> a été suspendu", with the image path, offering "Reprendre"; returns the notice's
  // number, which comes back with the choice (CompanionPresenter::resumeChosen).
  virtual std::uint32_t notifySuspended(const std::string& threatName, const std::string& imagePath) = 0;
};

}  // namespace halvik::companion
