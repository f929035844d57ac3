#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// What the program takes from the system around it, in one place: its folders, the roots of
// the scans, the monotonic clock, the platform identifier, the refusal shown on the Windows 95
// family and the walk's yield interval. Every layer reads these here and nowhere else. By
// default they are the system's; a test replaces what it needs for its own run (and puts the
// rest back afterwards), so that it never touches the user's files, never sleeps and never
// depends on the machine it runs on. It sits in the platform layer because every layer reads
// it, the profile cache (just above this layer) included.
namespace halvik::platform {

// The file that the install rules put into the program folder of an installed copy. A build
// folder or a portable copy lacks it, and keeps the files it writes beside the executable.
inline constexpr const char* kInstalledMarker = "installed";

// A monotonic clock in nanoseconds, and the resolution of its readings (0 when it is exact).
struct MonotonicClock {
  std::function<std::int64_t()> now;
  std::int64_t resolutionNs = 0;
};

// The system's monotonic clock: the coarse one where the system has it, whose reading costs a
// fraction of the precise one's.
MonotonicClock systemClock();

struct Environment {
  std::string programFolder;                         // no trailing separator
  std::string settingsFile;                          // the per-user settings store
  std::string autostartFolder;                       // where the start-up entry is written
  std::string runtimeFolder;                         // the session's locks; empty: the platform's default
  std::string dataFolder;                            // where "Logs" and "Quarintine" go; empty: the program folder
  std::string machineSignaturesFolder;               // signature updates made for every user
  std::function<std::vector<std::string>()> drives;  // the roots of a scan of all drives
  std::function<std::string()> windowsFolder;        // the root of the quick scan
  MonotonicClock clock;
  std::uint16_t platformId = 0;  // 1 for the Windows 95 family, 2 for systems with the monitor
  // What the platform test does on the Windows 95 family: the window layer installs one that
  // shows the refusal and ends the program. Empty: the program ends at once.
  std::function<void()> refusalHook;
  // Shortest time between two yields (and caption updates) of a walk, so that drawing does not
  // slow a scan. Zero yields after every entry and every subfolder.
  std::chrono::milliseconds yieldInterval{15};
};

// The system's environment for a program in `programFolder`: the data folder is the platform's
// per-user one when that folder holds the installed marker (a file, not a link), else empty.
Environment systemEnvironment(const std::string& programFolder);

// The environment in force: the system's (for the running executable) until it is changed.
Environment& environment();

}  // namespace halvik::platform
