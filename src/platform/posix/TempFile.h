#pragma once

#include <cstddef>
#include <string>

namespace halvik::platform::posix {

// A new file under a temporary hidden name in an open folder, written whole and then moved
// to its final name, so that a reader never sees a partial file. Removed unless committed.
// The name has a random part and is created exclusively (another name is tried on a clash);
// stale temporary files that killed writers left in the folder are removed first.
class TempFile {
 public:
  // ownerOnly: mode 0600 exactly; otherwise 0666 less the umask. Never executable.
  TempFile(int folder, bool ownerOnly);
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  bool ok() const { return m_fd >= 0; }
  int descriptor() const { return m_fd; }

  // Writes all `size` bytes, retrying short writes. False on any failure.
  bool write(const char* data, std::size_t size);

  // Flushes the file to the disk and gives it `name` in the folder. With `replace` false an
  // existing entry of that name is never overwritten, not even one created meanwhile.
  bool commit(const char* name, bool replace);

 private:
  bool closeFile();

  int m_folder;
  int m_fd = -1;
  std::string m_name;
  bool m_created = false;
  bool m_committed = false;
};

// Writes `bytes` to the file `path` whole, through a TempFile beside it (0666 less the umask).
bool writeFileAtomically(const std::string& path, const std::string& bytes);

}  // namespace halvik::platform::posix
