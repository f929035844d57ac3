#pragma once

#include <string>

namespace halvik::platform {

// The trust rule for files and folders the program reads back and believes: `path` (a file or a
// folder, links resolved) belongs to the running user or to the system's administrators, and no
// one else can write it, nor any folder on its way. On POSIX each level is owned by root or the
// running user and not writable by group or others, a root-owned folder with the sticky bit
// (such as /tmp) counting as closed. On Windows the file or folder itself is owned by the
// Administrators, SYSTEM, TrustedInstaller or the running user, and grants write access to no
// one else. False when it does not exist or cannot be examined.
bool pathTrusted(const std::string& path);

}  // namespace halvik::platform
