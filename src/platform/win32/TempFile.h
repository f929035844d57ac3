#pragma once

#include <windows.h>

#include <string>

namespace halvik::platform::win32 {

// Creates a new file for writing under a temporary hidden name in `folder` (see
// platform::temporaryName: another name is tried on a clash) and sets `path` to its path.
// First removes from the folder the temporary files that writers killed before their rename
// left behind: files named as ours are, last written over a minute ago, never a reparse point
// or a folder; nothing else is touched. INVALID_HANDLE_VALUE on failure; the caller owns the
// handle (a Handle takes it).
HANDLE createTemporaryIn(const std::string& folder, std::string& path);

}  // namespace halvik::platform::win32
