#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The system's own log, which administrators collect from every machine: the journal on Linux,
// the Application event log on Windows. Nothing fails when there is none: the entry is lost.
namespace halvik::platform {

struct SystemLogEntry {
  std::string message;        // one line, in the system's 8-bit encoding
  std::string messageId;      // the journal's MESSAGE_ID: 32 lower-case hexadecimal digits
  std::uint32_t eventId = 0;  // the event log's event identifier
  int priority = 6;           // syslog's: 3 error, 4 warning, 5 notice, 6 informational
  std::vector<std::pair<std::string, std::string>> fields;  // journal fields (upper-case names), raw bytes
};

// Sends one entry, under the identifier "orvento-halvik" (the event source "Orvento Halvik",
// registered by the installer, on Windows, where the fields follow the message, one a line).
void sendToSystemLog(const SystemLogEntry& entry);

}  // namespace halvik::platform
