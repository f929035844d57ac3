// The journal, through libsystemd's native protocol: every field keeps its bytes, line feeds
// and bytes that are no UTF-8 included.
#include "platform/SystemLog.h"

#include <sys/uio.h>
#include <systemd/sd-journal.h>

namespace halvik::platform {

void sendToSystemLog(const SystemLogEntry& entry) {
  std::vector<std::string> fields = {"MESSAGE=" + entry.message, "MESSAGE_ID=" + entry.messageId,
                                     "PRIORITY=" + std::to_string(entry.priority), "SYSLOG_IDENTIFIER=orvento-halvik"};
  for (const auto& [name, value] : entry.fields) fields.push_back(name + "=" + value);
  std::vector<iovec> parts;
  for (std::string& field : fields) parts.push_back({field.data(), field.size()});
  // Without a journal the call fails at once; the entry is lost, nothing else.
  sd_journal_sendv(parts.data(), static_cast<int>(parts.size()));
}

}  // namespace halvik::platform
