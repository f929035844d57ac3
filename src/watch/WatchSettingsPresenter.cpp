#include "watch/WatchSettingsPresenter.h"

#include "core/Settings.h"
#include "watch/WatchedFolders.h"

#include <algorithm>

namespace halvik::watch {
namespace {
using core::settings::Key;
}  // namespace

void WatchSettingsPresenter::load() {
  m_view.showFolders(watchedFolderPaths());
  m_view.showSwitches(core::settings::onWhenOne(Key::WatchFiles), core::settings::onWhenOne(Key::AutoQuarantine));
}

void WatchSettingsPresenter::addFolder() {
  const auto folder = m_view.chooseFolder();
  std::vector<std::string> folders = m_view.folders();
  if (!folder || folder->empty() || std::find(folders.begin(), folders.end(), *folder) != folders.end()) return;
  folders.push_back(*folder);
  m_view.showFolders(folders);
}

void WatchSettingsPresenter::removeFolder() {
  std::vector<std::string> folders = m_view.folders();
  const int row = m_view.selectedFolder();
  if (row < 0 || row >= static_cast<int>(folders.size())) return;
  folders.erase(folders.begin() + row);
  m_view.showFolders(folders);
}

void WatchSettingsPresenter::save() {
  storeWatchedFolders(m_view.folders());
  core::settings::write(Key::WatchFiles, m_view.watchFiles() ? "1" : "0");
  core::settings::write(Key::AutoQuarantine, m_view.autoQuarantine() ? "1" : "0");
}

}  // namespace halvik::watch
