#include "core/LogEvent.h"

namespace halvik::core {
namespace {
struct KindIds {
  const char* messageId;
  std::uint32_t eventId;
  int priority;
};

// Fixed for good: collectors match on them. Listed in the man page.
KindIds idsOf(LogKind kind) {
  switch (kind) {
    case LogKind::Other: return {"d8bcf78dff4c49108d54b133861b94b4", 1000, 6};
    case LogKind::ScanStart: return {"da12a76933db4c808441bc7548b6e158", 1001, 6};
    case LogKind::ScanEnd: return {"d74bae636f204f2db265ab849478c3fb", 1002, 6};
    case LogKind::Hit: return {"8a61650eb9404bddafe07500f34e395c", 1003, 4};
    case LogKind::Repair: return {"944ee3d0c6684312980d9aa9f4a8e7d4", 1004, 5};
    case LogKind::Suspension: return {"30a20692f4c14c4ea27b8bd65de0b9f1", 1005, 4};
    case LogKind::Resume: return {"dca05cf31ed24ee799cd7da7f6faa0cc", 1006, 5};
    case LogKind::SignatureUpdate: return {"9cc2b955997f442b8dc62b049bc673d8", 1007, 5};
    case LogKind::SignatureRefusal: return {"1afb784c526b4dd998f996adfc4c2f93", 1008, 3};
    case LogKind::WatchHit: return {"16842d72cebc43e4a9dc304b91ec165e", 1009, 4};
  }
  return idsOf(LogKind::Other);
}
}  // namespace

platform::SystemLogEntry systemLogEntryOf(const std::string& message, const LogEvent& event) {
  const KindIds ids = idsOf(event.kind);
  platform::SystemLogEntry entry{message, ids.messageId, ids.eventId, ids.priority, {}};
  if (!event.threat.empty()) entry.fields.emplace_back("HALVIK_THREAT", event.threat);
  if (!event.path.empty()) entry.fields.emplace_back("HALVIK_PATH", event.path);
  if (!event.action.empty()) entry.fields.emplace_back("HALVIK_ACTION", event.action);
  if (event.signaturesVersion)
    entry.fields.emplace_back("HALVIK_SIGNATURES_VERSION", std::to_string(*event.signaturesVersion));
  return entry;
}

}  // namespace halvik::core
