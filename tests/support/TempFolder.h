#pragma once

#include "platform/Platform.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#ifdef _WIN32
#include <windows.h>

#include <random>
#endif

namespace halvik::testing_support {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
 public:
  TempFolder() {
#ifdef _WIN32
    // No mkdtemp: try fresh names until one can be created (creation fails when it exists).
    for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
      const auto candidate = std::filesystem::temp_directory_path() / ("halvik-test-" + uniqueSuffix());
      if (std::filesystem::create_directory(candidate)) m_path = candidate.string();
    }
    if (m_path.empty()) throw std::runtime_error("no temporary folder");
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "halvik-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
#endif
  }
  ~TempFolder() {
    std::error_code error;
    // Restore write permission so that read-only folders made by a test can be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(
             m_path, std::filesystem::directory_options::skip_permission_denied, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
      if (it->is_directory(error) && !it->is_symlink(error))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                     error);
    }
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(m_path, error);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return m_path; }
  // `name` may hold "/" between levels; on Windows they become "\\", as the program's own paths have.
  std::string operator/(std::string name) const {
    if (platform::kSeparator != '/') std::replace(name.begin(), name.end(), '/', platform::kSeparator);
    return m_path + platform::kSeparator + name;
  }

 private:
#ifdef _WIN32
  static std::string uniqueSuffix() {
    static std::mt19937_64 random{std::random_device{}() ^ static_cast<std::uint64_t>(GetCurrentProcessId())};
    return std::to_string(random() % 1000000000000u);
  }
#endif
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

}  // namespace halvik::testing_support
