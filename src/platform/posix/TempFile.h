#pragma once

#include "platform/Status.h"
#include "platform/posix/Handle.h"

#include <cstddef>
#include <functional>
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

  // Success once the file is created; otherwise the system's reason it could not be.
  const Status& created() const { return m_created; }
  int descriptor() const { return m_fd.get(); }

  // Writes all `size` bytes, retrying short writes.
  Status write(const char* data, std::size_t size);

  // Flushes the file to the disk (unless `flush` is false) and gives it `name` in the folder.
  // With `replace` false an existing entry of that name is never overwritten, not even one
  // created meanwhile.
  Status commit(const char* name, bool replace, bool flush = true);

 private:
  int m_folder;
  Handle m_fd;
  std::string m_name;
  Status m_created;
  bool m_committed = false;
};

struct WriteOptions {
  bool ownerOnly = false;   // the new file is 0600 (see TempFile)
  bool replace = true;      // false: fail when `path` exists, never overwriting it
  bool syncFolder = false;  // flush the folder too, so that the rename itself survives a crash
  bool flush = true;        // false: the caller flushes the file later (see CopyOptions)
};

// How every file is written whole: `fill` writes the content of a TempFile beside `path`, which
// is then flushed and renamed to `path`. The last name of `path` is never followed as a link
// when it is created; an existing one is replaced as an entry.
Status writeAtomically(const std::string& path, WriteOptions options, const std::function<Status(TempFile&)>& fill);

}  // namespace halvik::platform::posix
