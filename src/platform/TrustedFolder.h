#pragma once

#include <string>

namespace halvik::platform {

// True when the program may trust what it reads from the folder `path`: on POSIX systems the
// folder and every level above it (after links are resolved) belong to root or the running
// user and none is writable by group or others, a root-owned folder with the sticky bit (such
// as /tmp) counting as closed; on Windows the folder belongs to the user, SYSTEM or the
// Administrators and its access list lets nobody else write. Otherwise false, with the reason
// (in English, naming the level at fault) in `*reason` when given.
bool isTrustedFolder(const std::string& path, std::string* reason = nullptr);

}  // namespace halvik::platform
