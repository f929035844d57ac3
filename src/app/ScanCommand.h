#pragma once

#include "engine/PathMatcher.h"
#include "engine/WalkSink.h"

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

// A scan without a window (--scan) with its options: each root in turn is walked by the
// parallel walk (a file is looked up by its name) with the current signature set, with the log
// lines and the stored scan total of a window scan; then, with the repair, every hit goes
// through the window's repair pass.
namespace halvik::app {

struct Request;

struct ScanOptions {
  std::vector<std::string> roots;  // full paths of existing folders or files
  bool allDrives = false;          // the roots are the drives of the all-drives scan (one scan in all)
  bool repair = false;
  bool json = false;
  bool quiet = false;
  engine::PathMatcher exclusions;
  unsigned jobs = 0;      // 0: one thread per core
  bool progress = false;  // a progress line on `err` (a terminal), unless quiet
};

// The options of `request` with `roots` (full paths); nullopt, with a one-line French message in
// `problem`, when an exclusion file cannot be read.
std::optional<ScanOptions> scanOptions(const Request& request, const std::vector<std::string>& roots,
                                       std::string& problem);

// A one-line French message for the first path that names neither an existing folder nor an
// existing file, or nullopt when every path does.
std::optional<std::string> firstScanPathProblem(const std::vector<std::string>& paths);

// The result is the exit status: 0 when nothing was found, 1 when something was, 2 when no valid
// signature set exists or the data folder is not the user's own (then nothing is scanned), or
// when `out` could not be written (the repair then stops at the first report that could not be
// written). One real folder named several times is walked once. Hits and JSON go to `out`, the
// text summary and every message to `err`.
int runScanCommand(const ScanOptions& options, std::ostream& out, std::ostream& err);

}  // namespace halvik::app
