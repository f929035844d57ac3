#include "platform/FolderCheck.h"
#include "platform/FolderWatch.h"
#include "platform/Platform.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <sys/auxv.h>
#include <sys/stat.h>
#include <unistd.h>

namespace halvik::platform {
namespace {
std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
}

std::string homeFolder() {
  std::string home = environment("HOME");
  if (!home.empty()) return home;
  if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return "/";
}

// An absolute base folder from the environment variable `name`, or `fallback` under the home
// folder when it is unset, empty or relative (the XDG base directory rule).
std::string baseFolder(const char* name, const char* fallback) {
  std::string base = environment(name);
  if (base.empty() || base.front() != '/') base = homeFolder() + fallback;
  return base;
}

// One level of createOwnerFolders: made owner-only, or already a folder. Levels above the last
// may be links (a home folder often is one); the last one must be a folder itself. Anything
// else in the way reads as "Not a directory".
Status ensureLevel(const std::string& path, bool last) {
  if (mkdir(path.c_str(), 0700) == 0) return {};
  if (errno != EEXIST) return Status::lastError();
  return isFolder(path, last ? Links::NotFolders : Links::Followed) ? Status() : Status::failure(ENOTDIR);
}
// The folder user-dirs.dirs gives for `key` ("$HOME/..." or absolute), or `fallback` under the home folder.
std::string userDir(const std::string& configFolder, const std::string& key, const char* fallback) {
  std::ifstream dirs(configFolder + "/user-dirs.dirs");
  for (std::string line; std::getline(dirs, line);) {
    if (line.rfind(key + "=\"", 0) != 0 || line.size() < key.size() + 3 || line.back() != '"') continue;
    std::string value = line.substr(key.size() + 2, line.size() - key.size() - 3);
    if (value.rfind("$HOME", 0) == 0) value = homeFolder() + value.substr(5);
    if (!value.empty() && value.front() == '/') return value;
  }
  return homeFolder() + fallback;
}
}  // namespace

std::vector<DefaultWatchFolder> defaultWatchFolders() {
  if (const auto fileSystems = watchableFileSystems(); !fileSystems.empty()) {
    std::vector<DefaultWatchFolder> whole;
    for (const std::string& point : fileSystems) whole.push_back({point, true, true});
    return whole;
  }
  const std::string config = baseFolder("XDG_CONFIG_HOME", "/.config");
  return {{userDir(config, "XDG_DOWNLOAD_DIR", "/Downloads")},
          {userDir(config, "XDG_DESKTOP_DIR", "/Desktop")},
          {config + "/autostart"},
          {config + "/systemd/user"},
          {"/tmp"},
          {"/var/tmp"},
          {"/dev/shm"},
          {homeFolder(), false}};
}

// The folder of the executable the system started: its link in /proc, or without /proc the
// name it was started by (AT_EXECFN), resolved from the folder it was started in. Empty when
// neither names an absolute path: the working folder is never taken for it.
std::string programFolder() {
  std::string path(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length > 0 && static_cast<std::size_t>(length) < path.size()) {
    path.resize(static_cast<std::size_t>(length));
  } else {
    const auto* started = reinterpret_cast<const char*>(getauxval(AT_EXECFN));
    char* resolved = started ? ::realpath(started, nullptr) : nullptr;
    if (!resolved) return {};
    path = resolved;
    std::free(resolved);
  }
  const auto slash = path.rfind('/');
  if (path.empty() || path.front() != '/' || slash == std::string::npos) return {};
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string defaultSettingsFile() { return baseFolder("XDG_CONFIG_HOME", "/.config") + "/orvento-halvik/settings.ini"; }

std::string defaultDataFolder() { return baseFolder("XDG_DATA_HOME", "/.local/share") + "/orvento-halvik"; }

std::string defaultMachineSignaturesFolder() { return "/var/lib/orvento-halvik/signatures"; }

Status createOwnerFolders(const std::string& path) {
  if (path.empty()) return Status::failure(ENOENT);
  std::size_t end = path.find_first_not_of('/');
  while (end != std::string::npos) {
    end = path.find('/', end);
    const std::string level = path.substr(0, end);
    const bool last = end == std::string::npos || path.find_first_not_of('/', end) == std::string::npos;
    if (Status made = ensureLevel(level, last); !made || last) return made;
    end = path.find_first_not_of('/', end);
  }
  return {};  // "/" or only separators: the root exists
}

std::string defaultAutostartFolder() {
  std::string dirs = environment("XDG_CONFIG_DIRS");
  std::string first = dirs.substr(0, dirs.find(':'));
  if (first.empty() || first.front() != '/') first = "/etc/xdg";
  return first + "/autostart";
}

std::string defaultUserAutostartFolder() { return baseFolder("XDG_CONFIG_HOME", "/.config") + "/autostart"; }

std::string defaultRuntimeFolder() {
  const std::string runtime = environment("XDG_RUNTIME_DIR");
  if (!runtime.empty() && runtime.front() == '/') return runtime;
  const std::string settings = defaultSettingsFile();
  return settings.substr(0, settings.rfind('/'));
}

std::string windowsFolder() { return "/usr"; }

}  // namespace halvik::platform
