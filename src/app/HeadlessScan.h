#pragma once

#include <ostream>
#include <string>
#include <vector>

// A scan without a window (--scan) in text, with no other option: runScanCommand (ScanCommand.h)
// with `folders` and `repair`. Each folder in turn is one scan, with the walk's rules, the log
// lines and the stored scan total of a window scan. Hits go to `out` as hit lines, the summary
// ("Objets Scannés: N", "Objets malicieux: N", "Dossiers illisibles: N") and every message to
// `err`. With `repair` the repair pass then handles every hit, with the stored quarantine choice
// and the window's safety rules, and `out` gets one line per hit saying what happened. No window
// and no display are needed.
namespace halvik::app {

// `folders` must be existing folders or files (firstScanPathProblem). The result is the exit status: 0 when
// nothing was found, 1 when something was, 2 when the signature database cannot be read (then
// nothing is scanned).
int runHeadlessScan(const std::vector<std::string>& folders, bool repair, std::ostream& out, std::ostream& err);

}  // namespace halvik::app
