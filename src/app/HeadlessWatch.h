#pragma once

#include "app/CommandLine.h"

#include <ostream>
#include <string>
#include <vector>

// The watch of folders without a window (--watch): runs in the foreground until SIGINT or
// SIGTERM. Each threat that appears in the folders is reported on `out` as it comes, as --scan
// reports a hit in `format` (a hit line, or a JSON Lines hit object); with `repair` the entry is
// then removed, after a copy into the quarantine when the stored quarantine choice asks for one,
// with the repair pass's safety rules, and reported as --scan --repair reports it. In JSON the
// summary object ends the output once the watch is interrupted. Entries exempt from the watch
// (ignored or restored from the quarantine) are left alone. Messages go to `err`, one of them
// once the watch is in place.
namespace halvik::app {

// `folders` must be existing folders (firstPathProblem). The result is the exit status: 0 once
// interrupted, 2 when the signature database cannot be read, no watch can be started or `out`
// could not be written (the watch then stops, and nothing more is repaired).
int runHeadlessWatch(const std::vector<std::string>& folders, bool repair, Format format, std::ostream& out,
                     std::ostream& err);

}  // namespace halvik::app
