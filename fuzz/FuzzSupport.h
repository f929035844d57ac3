#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include <unistd.h>

// What the fuzz targets share: a private folder for the files of every run, whole-file reads
// and writes, and a check that stops the run (and reports the input) when it fails.
namespace halvik::fuzz {

// A new folder under the system's temporary folder, removed with its content at exit.
class WorkFolder {
 public:
  WorkFolder() : m_path((std::filesystem::temp_directory_path() / "halvik-fuzz-XXXXXX").string()) {
    if (!::mkdtemp(m_path.data())) std::abort();
  }
  ~WorkFolder() { std::filesystem::remove_all(m_path); }
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;
  const std::string& path() const { return m_path; }

 private:
  std::string m_path;
};

// The folder of every run, made once per process.
inline const std::string& workFolder() {
  static const WorkFolder folder;
  return folder.path();
}

// The bytes of `path`, nullopt when there is no such file.
inline std::optional<std::string> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// True when `folder` holds a temporary file of our writers: none may outlive a write.
inline bool holdsTemporaryFile(const std::string& folder) {
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(".halvik-") && name.ends_with(".tmp")) return true;
  }
  return false;
}

#define FUZZ_REQUIRE(condition)                                                          \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)

}  // namespace halvik::fuzz
