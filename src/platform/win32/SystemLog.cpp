// The Application event log, under the source the installer registers.
#include "platform/SystemLog.h"

#include <windows.h>

namespace halvik::platform {
namespace {
WORD eventType(int priority) {
  if (priority <= 3) return EVENTLOG_ERROR_TYPE;
  return priority == 4 ? EVENTLOG_WARNING_TYPE : EVENTLOG_INFORMATION_TYPE;
}
}  // namespace

void sendToSystemLog(const SystemLogEntry& entry) {
  // The A functions take the message in the system's 8-bit encoding, as it stands.
  HANDLE source = RegisterEventSourceA(nullptr, "Orvento Halvik");
  if (!source) return;
  std::string text = entry.message;
  for (const auto& [name, value] : entry.fields) text += "\r\n" + name + "=" + value;
  const char* strings[] = {text.c_str()};
  ReportEventA(source, eventType(entry.priority), 0, entry.eventId, nullptr, 1, 0, strings, nullptr);
  DeregisterEventSource(source);
}

}  // namespace halvik::platform
