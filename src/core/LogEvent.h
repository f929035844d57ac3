#pragma once

#include "platform/SystemLog.h"

#include <cstdint>
#include <optional>
#include <string>

namespace halvik::core {

// What kind of event a line of the day log tells, for the system log: each kind has its own
// journal MESSAGE_ID and event log identifier (the man page lists them), so that a fleet's log
// collector can pick them out without reading the text.
enum class LogKind {
  Other,             // anything else the day log says
  ScanStart,         // a scan begins (HALVIK_PATH: its root)
  ScanEnd,           // a scan ends
  Hit,               // a scan found a threat (HALVIK_THREAT, HALVIK_PATH, HALVIK_ACTION "found")
  Repair,            // the repair acted on a hit, or could not (HALVIK_ACTION)
  Suspension,        // a running threat was suspended, or could not be (HALVIK_ACTION)
  Resume,            // a suspended process was let go on again
  SignatureUpdate,   // a new signature set was installed
  SignatureRefusal,  // a signature update was refused
  WatchHit,          // a watched folder received a threat
};

// The fields of one event: empty ones are left out of the system log.
struct LogEvent {
  LogKind kind = LogKind::Other;
  std::string threat{};
  std::string path{};
  std::string action{};
  std::optional<std::uint64_t> signaturesVersion{};
};

// The system log's entry for the day log's line `message` telling `event`.
platform::SystemLogEntry systemLogEntryOf(const std::string& message, const LogEvent& event);

}  // namespace halvik::core
