#pragma once

#include "core/Locations.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "halvik-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
  }
  ~TempFolder() {
    std::error_code error;
    // Restore write permission so that read-only folders made by a test can be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, std::filesystem::directory_options::skip_permission_denied, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
      if (it->is_directory(error) && !it->is_symlink(error))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add, error);
    }
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(m_path, error);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return m_path; }
  std::string operator/(const std::string& name) const { return m_path + "/" + name; }

 private:
  std::string m_path;
};

inline void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Points the program folder, the settings file and the autostart folder at a temporary folder
// for the life of the object, and restores the previous locations afterwards.
class ScopedLocations {
 public:
  ScopedLocations() : m_saved(core::locations()) {
    std::filesystem::create_directories(m_root / "program");
    std::filesystem::create_directories(m_root / "config");
    std::filesystem::create_directories(m_root / "autostart");
    core::setLocations({m_root / "program", m_root / "config/settings.ini", m_root / "autostart"});
  }
  ~ScopedLocations() { core::setLocations(m_saved); }
  ScopedLocations(const ScopedLocations&) = delete;
  ScopedLocations& operator=(const ScopedLocations&) = delete;

  std::string programFolder() const { return core::locations().programFolder; }
  const TempFolder& root() const { return m_root; }

 private:
  core::Locations m_saved;
  TempFolder m_root;
};

}  // namespace testing_support
