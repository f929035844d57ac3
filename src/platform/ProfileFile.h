#pragma once

#include "platform/Status.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// The file side of profile access: reading a whole file together with what identifies its
// content on disk, and replacing a file atomically under an advisory lock shared with other
// running copies.
namespace halvik::platform {

// What changes whenever the content of a file may have changed: device, inode, size, and the
// modification and change times to the nanosecond.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t modifiedSeconds = 0;
  std::int64_t modifiedNanoseconds = 0;
  std::int64_t changedSeconds = 0;
  std::int64_t changedNanoseconds = 0;
  bool operator==(const FileIdentity&) const = default;
};

// The identity of the file `path` names now; nullopt when it cannot be examined.
std::optional<FileIdentity> fileIdentity(const std::string& path);

// True when the file's timestamps cannot vouch that a later change will alter them: it was
// modified within the last two seconds by the wall clock, or claims a time still to come.
bool recentlyModified(const FileIdentity& identity);

struct FileContent {
  enum class Status { Read, Missing, Unreadable };
  Status status = Status::Missing;
  std::string bytes;
  FileIdentity identity;   // of the content read
  std::uint32_t mode = 0;  // permission bits
  std::uint32_t owner = 0;
  std::uint32_t group = 0;
  std::uint32_t error = 0;  // when Unreadable: the system's error (see platform::Status)
};

// Reads a whole regular file. Anything else (a folder, a device, a pipe) is Unreadable,
// and so is a file larger than the reader handles (1 GiB).
FileContent readFile(const std::string& path);

// True when `path` names a file inside a folder: it holds a separator. A bare file name is
// not accepted, since no working folder is implied.
bool hasFolder(const std::string& path);

// What an edit makes of the current content of a file.
struct EditResult {
  enum class Kind { Unchanged, Changed, Rejected };
  Kind kind = Kind::Unchanged;
  std::string bytes;  // the new content when Changed
};

// Replaces the file `path` under an exclusive lock on its sidecar lock file: `edit` gets the
// current content (read anew under the lock) and says what it becomes. Unchanged writes
// nothing and succeeds; Rejected writes nothing and fails. Changed bytes go to a temporary
// file in the same folder, are flushed and renamed over the original, which keeps its
// permission bits; the folder is flushed too. Our own temporary files that a crashed writer
// left in that folder are removed once they are a minute old.
// A symbolic link to an existing file is followed: its target is replaced. A link whose target
// does not exist makes the write fail and creates nothing. The lock file is never opened
// through a link. On any failure the original is left whole and the result is the system's
// reason (a Rejected edit reads as an invalid argument).
//
// With `growth` Append, an edit whose bytes only add to the end of the current content is instead
// appended to the file in place (when it is still the file read) and flushed: it costs what is
// added rather than the whole file, but a crash may leave part of what was added. Windows
// rewrites the file all the same.
using FileEdit = std::function<EditResult(const FileContent& current)>;
enum class Growth { Rewrite, Append };
Status replaceFile(const std::string& path, const FileEdit& edit, Growth growth = Growth::Rewrite);

}  // namespace halvik::platform
