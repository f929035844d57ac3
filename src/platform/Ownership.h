#pragma once

#include "platform/Status.h"

#include <string>

// Whether a file or folder the program reads back can be trusted: nobody but the running user
// (or the system's administrator) could have written it.
namespace halvik::platform {

// True when `path` (links resolved) and every folder above it belong to the running user or to
// root and are writable by nobody else; a folder of root with the sticky bit (such as /tmp)
// counts as closed. False when it does not exist. On Windows, where access lists hold the
// rights and the user's profile passes a private one down: true when it exists.
bool isPrivate(const std::string& path);

// True when `path` is a folder (no link) of the running user that nobody else may enter or
// write (mode 0700 on POSIX). On Windows: true when it is a folder.
bool isOwnClosedFolder(const std::string& path);

// Creates the empty file `path`, readable and writable by its owner only; an entry already
// there is left as it is (and is no failure), a link is never followed.
Status createPrivateFile(const std::string& path);

}  // namespace halvik::platform
