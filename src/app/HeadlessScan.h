#pragma once

#include <ostream>
#include <string>
#include <vector>

// A scan without a window (--scan): each folder in turn goes through the scan driver as a
// custom scan, with the walk's rules, the log lines and the stored scan total of a window scan.
// Hits go to `out` as hit lines, the summary ("Objets Scannés: N", "Objets malicieux: N",
// "Dossiers illisibles: N", the folders the walk could not open) and every message to `err`. With `repair` the repair
// pass then handles every hit, with the stored quarantine choice and the window's safety rules, and `out` gets one line
// per hit saying what happened. No window and no display are needed.
namespace halvik::app {

// `folders` must be existing folders (firstPathProblem); one real folder named several times is
// walked once. The result is the exit status: 0 when nothing was found, 1 when something was, 2
// when no valid signature set exists or the data folder is not the user's own (then nothing is
// scanned), or when `out` could not be written (the repair then stops at the first line that
// could not be written). A hit that was gone before the repair is said to be so. Each folder the
// walk cannot read gets one line on `err` as it is met.
int runHeadlessScan(const std::vector<std::string>& folders, bool repair, std::ostream& out, std::ostream& err);

}  // namespace halvik::app
