#pragma once

#include "platform/Status.h"
#include "platform/win32/Handle.h"

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

namespace halvik::platform::win32 {

// A new file under a temporary hidden name in a folder (see platform::temporaryName: another
// name is tried on a clash), written whole and then moved to its final name, so that a reader
// never sees a partial file. Removed unless committed. Stale temporary files that killed
// writers left in the folder are removed first.
class TempFile {
 public:
  // `security` null: the rights the folder passes down.
  TempFile(const std::string& folder, SECURITY_ATTRIBUTES* security);
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  // Success once the file is created; otherwise the system's reason it could not be.
  const Status& created() const { return m_created; }
  HANDLE handle() const { return m_file.get(); }

  Status write(const char* data, std::size_t size);

  // Flushes the file to the disk, gives it the file attributes `attributes` (none when 0) and
  // moves it to `destination`. With `replace` false an existing file is never overwritten, not
  // even one created meanwhile; a read-only one is never replaced, as the system refuses to.
  Status commit(const std::string& destination, bool replace, DWORD attributes);

 private:
  Handle m_file;
  std::string m_path;
  Status m_created;
  bool m_committed = false;
};

struct WriteOptions {
  SECURITY_ATTRIBUTES* security = nullptr;  // see TempFile
  bool replace = true;                      // false: fail when `path` exists, never overwriting it
  DWORD attributes = 0;                     // hidden, system, archive bits the new file gets
};

// How every file is written whole: `fill` writes the content of a TempFile beside `path`, which
// is then flushed and moved to `path` (write-through).
Status writeAtomically(const std::string& path, WriteOptions options, const std::function<Status(TempFile&)>& fill);

}  // namespace halvik::platform::win32
