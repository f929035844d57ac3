#include "watch/WatchedFolders.h"

#include "core/PercentEncoding.h"
#include "core/Settings.h"
#include "platform/FolderWatch.h"

#include <algorithm>

namespace halvik::watch {
namespace {
using core::settings::Key;

std::vector<std::string> pathsOf(const std::vector<platform::DefaultWatchFolder>& folders) {
  std::vector<std::string> paths;
  for (const auto& folder : folders) paths.push_back(folder.path);
  return paths;
}

// The stored paths; empty when none is stored or the text is not sound.
std::vector<std::string> storedPaths() {
  const std::string text = core::settings::read(Key::WatchFolders);
  std::vector<std::string> paths;
  std::size_t start = 0;
  while (start < text.size()) {
    const auto end = std::min(text.find(';', start), text.size());
    if (auto path = core::percent::decode(std::string_view(text).substr(start, end - start)); path && !path->empty())
      paths.push_back(std::move(*path));
    start = end + 1;
  }
  return paths;
}
}  // namespace

std::vector<std::string> watchedFolderPaths() {
  std::vector<std::string> paths = storedPaths();
  return paths.empty() ? pathsOf(platform::defaultWatchFolders()) : paths;
}

std::vector<WatchedFolder> watchedFolders() {
  const auto defaults = platform::defaultWatchFolders();
  std::vector<WatchedFolder> folders;
  for (const std::string& path : watchedFolderPaths()) {
    const auto found =
        std::find_if(defaults.begin(), defaults.end(), [&](const auto& each) { return each.path == path; });
    const bool isDefault = found != defaults.end();
    folders.push_back({path, !isDefault || found->subfolders, isDefault && found->fileSystem});
  }
  return folders;
}

void storeWatchedFolders(const std::vector<std::string>& paths) {
  std::string text;
  if (paths != pathsOf(platform::defaultWatchFolders()))
    for (const std::string& path : paths) text += (text.empty() ? "" : ";") + core::percent::encode(path, ";");
  core::settings::write(Key::WatchFolders, text);
}

}  // namespace halvik::watch
