#pragma once

#include "engine/PathMatcher.h"
#include "engine/WalkSink.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The walk of a scan without a window: the rules of the window's walk (mScanFiles::ScanFolder),
// kept by a pool of threads. Folders are the units of work: a thread opens one from the folder
// that listed it (never through a link, never onto another file system, never one of the folders
// above it again), lists it, hands its subfolders to the shared stack the other threads take
// from, and looks its entries up. Hidden and system entries are never looked up nor entered; a
// name with blanks at either end is never a hit; a folder that cannot be opened or listed is
// counted. Hits come in an order that depends on the threads; the counts are exact.
namespace halvik::engine {

// The threat name of a bare file name, or empty text. Called from every thread of the walk at
// once: it must be safe to call concurrently.
using ThreatLookup = std::function<std::string(std::string_view bareName)>;

struct WalkCounts {
  std::uint64_t scanned = 0;  // entries looked up
  std::uint64_t hits = 0;
  std::uint64_t unreadable = 0;  // folders that could not be opened or listed
  std::uint64_t excluded = 0;    // entries kept out by an exclusion
  WalkCounts& operator+=(const WalkCounts& other);
};

struct WalkOptions {
  unsigned jobs = 1;  // threads, the caller's own included; 0 counts as 1
  ThreatLookup lookup;
  const PathMatcher* exclusions = nullptr;
  // Called after each folder's entries are looked up, with the counts so far of the walk and the
  // folder's path, from the walk's threads one at a time; may be empty.
  std::function<void(const WalkCounts& sofar, const std::string& folder)> progress;
  // Threads, the first `jobs` included, that the walk may grow to while its threads wait on the
  // disk (most folders they list had to be read from it): a thread that waits uses no core. No
  // more than `jobs` when not above it.
  unsigned waitingJobs = 0;
};

// Walks the tree under `root` (a missing or unreadable root is one unreadable folder) and
// writes each hit to the day log as the window's walk does.
WalkCounts WalkInParallel(const std::string& root, const WalkOptions& options, WalkSink& sink);

// The file `path` (a full path, never a folder) looked up by its name as the walk would, unless
// an exclusion matches it; the options' jobs and progress play no part.
WalkCounts LookUpFile(const std::string& path, const WalkOptions& options, WalkSink& sink);

}  // namespace halvik::engine
