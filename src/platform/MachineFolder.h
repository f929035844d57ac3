#pragma once

#include "platform/Status.h"

#include <string>

// The machine-wide folder of signature sets (defaultMachineSignaturesFolder): readable by every
// user, written only by the system's administrators.
namespace halvik::platform {

// True when the program runs with the administrators' rights (root; on Windows an elevated token).
bool elevated();

// Creates `path` and the missing folders above it for every user to read and only the
// administrators to write (mode 0755 owned by root; on Windows an explicit access list giving
// write access to the Administrators and SYSTEM only, read access to users). Fails, creating
// nothing more, when the folder or one above it fails the trust rule (isTrustedFolder): another
// owner, or wider write access.
Status createMachineFolder(const std::string& path);

}  // namespace halvik::platform
