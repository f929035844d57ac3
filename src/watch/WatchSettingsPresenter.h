#pragma once

#include "watch/WatchSettingsView.h"

// The dialog "Dossiers surveillés": the watched folders, "Surveillance des fichiers" and
// "Quarantaine automatique", read from the settings and stored on "OK".
namespace halvik::watch {

class WatchSettingsPresenter {
 public:
  explicit WatchSettingsPresenter(WatchSettingsView& view) : m_view(view) {}

  void load();
  void addFolder();
  void removeFolder();
  void save();

 private:
  WatchSettingsView& m_view;
};

}  // namespace halvik::watch
