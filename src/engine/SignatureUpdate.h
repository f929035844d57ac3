#pragma once

#include "engine/UpdateOutcome.h"

#include <string>

// Updating the signature set from a feed, and going back to the previous one: what the command
// line's --update and --rollback and the companion's daily check do.
namespace halvik::engine {

// Makes the current set's selection check every update folder's files against the program
// folder's trusted keys (read again at each check). Called once at the start of each program.
void verifyUpdatesWithTrustedKeys();

// The folder an update of this run goes to: the machine-wide one when the program runs with the
// administrators' rights, the user's "Signatures" folder otherwise.
std::string updateFolder();

// Fetches the feed at `source` (a URL or a folder) and installs its set into updateFolder() when
// it verifies and is newer than the set in use; the current set is then reloaded.
UpdateOutcome updateSignatures(const std::string& source);

// Puts back the set that the last update replaced in the folder the current set came from.
UpdateOutcome rollbackSignatures();

}  // namespace halvik::engine
