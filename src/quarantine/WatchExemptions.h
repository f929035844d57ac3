#pragma once

#include "platform/FolderWatch.h"

#include <string>

// The entries the watch of folders leaves alone for good: those the user chose to ignore, and
// files restored from the quarantine (a restored false positive would otherwise be taken again
// at once). Kept as identities, one "device file birth" line each, in "WatchExemptions.txt" of
// the quarantine folder, so that the companion and the main window share them.
namespace halvik::quarantine {

// True when `entry` is exempt. A file that is not private to the user (platform::isPrivate) is not
// trusted: then nothing is.
bool IsExempt(const platform::LastingId& entry);

// Adds `entry` to the exemptions. False when it could not be written.
bool AddExemption(const platform::LastingId& entry);

// Exempts the regular file `path` names (a link is not followed), as it is now.
bool ExemptFile(const std::string& path);

}  // namespace halvik::quarantine
