#pragma once

#include <ostream>
#include <string>
#include <vector>

// The watch of folders without a window (--watch): runs in the foreground until SIGINT or
// SIGTERM. Each threat that appears in the folders is one hit line on `out`, as --scan writes
// it; with `repair` the entry is then removed, after a copy into the quarantine when the stored
// quarantine choice asks for one, with the repair pass's safety rules, and `out` gets the line
// --scan --repair writes for it. Entries exempt from the watch (ignored or restored from the
// quarantine) are left alone. Messages go to `err`, one of them once the watch is in place.
namespace halvik::app {

// `folders` must be existing folders (firstPathProblem). The result is the exit status: 0 once
// interrupted, 2 when the signature database cannot be read or no watch can be started.
int runHeadlessWatch(const std::vector<std::string>& folders, bool repair, std::ostream& out, std::ostream& err);

}  // namespace halvik::app
