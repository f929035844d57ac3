#pragma once

#include <chrono>
#include <cstdint>
#include <string>

// The objects of --format json, one per line of standard output, each returned without its line
// feed. The man page lists them; every path is written by json::pathMembers.
namespace halvik::app {

// What became of a hit: found by a scan alone, or what the repair did with it (Gone: it was gone
// before the repair reached it, so nothing was removed).
enum class HitAction { Found, Removed, Quarantined, NotRemoved, Gone };

struct ScanSummary {
  std::uint64_t scanned = 0;
  std::uint64_t hits = 0;
  std::uint64_t unreadable = 0;
  std::uint64_t excluded = 0;
  std::uint64_t signaturesVersion = 0;
  std::chrono::system_clock::time_point started{};
  std::chrono::system_clock::time_point ended{};
  int status = 0;  // the exit status
};

// {"type":"hit","threat":T,"path":P,"action":A} with "reason":R when the action is NotRemoved or
// Gone (written "not-removed" both).
std::string jsonHitLine(const std::string& threat, const std::string& path, HitAction action,
                        const std::string& reason = {});
// {"type":"unreadable","path":P} and {"type":"excluded","path":P}.
std::string jsonUnreadableLine(const std::string& path);
std::string jsonExcludedLine(const std::string& path);
// {"type":"update","status":S,"version":V,"reason":R}: S is "installed", "current" or "refused";
// the reason (English) is left out when empty. For --update.
std::string jsonUpdateLine(const std::string& status, std::uint64_t version, const std::string& reason);
// {"type":"summary",...}: always the last line of a scan.
std::string jsonSummaryLine(const ScanSummary& summary);

}  // namespace halvik::app
