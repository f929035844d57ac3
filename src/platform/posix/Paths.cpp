#include "platform/Platform.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace platform {
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
}  // namespace

std::string programFolder() {
  std::string path(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return ".";
  path.resize(static_cast<std::size_t>(length));
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string defaultSettingsFile() {
  std::string base = environment("XDG_CONFIG_HOME");
  if (base.empty() || base.front() != '/') base = homeFolder() + "/.config";
  return base + "/orvento-halvik/settings.ini";
}

std::string defaultAutostartFolder() {
  std::string dirs = environment("XDG_CONFIG_DIRS");
  std::string first = dirs.substr(0, dirs.find(':'));
  if (first.empty() || first.front() != '/') first = "/etc/xdg";
  return first + "/autostart";
}

std::string defaultRuntimeFolder() {
  const std::string runtime = environment("XDG_RUNTIME_DIR");
  if (!runtime.empty() && runtime.front() == '/') return runtime;
  const std::string settings = defaultSettingsFile();
  return settings.substr(0, settings.rfind('/'));
}

std::string windowsFolder() { return "/usr"; }

}  // namespace platform
