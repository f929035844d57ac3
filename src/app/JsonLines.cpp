#include "app/JsonLines.h"

#include "app/JsonText.h"
#include "core/IsoTime.h"
#include "platform/SystemText.h"

namespace halvik::app {
namespace {
const char* actionName(HitAction action) {
  switch (action) {
    case HitAction::Found: return "found";
    case HitAction::Removed: return "removed";
    case HitAction::Quarantined: return "quarantined";
    case HitAction::NotRemoved:
    case HitAction::Gone: return "not-removed";
  }
  return "found";
}

// A text member: the system's bytes as UTF-8.
std::string textMember(const char* name, const std::string& text) {
  return std::string(",\"") + name + "\":" + json::quoted(json::validUtf8(platform::utf8FromSystem(text)));
}

std::string number(const char* name, std::uint64_t value) {
  return std::string(",\"") + name + "\":" + std::to_string(value);
}
}  // namespace

std::string jsonHitLine(const std::string& threat, const std::string& path, HitAction action,
                        const std::string& reason) {
  std::string line = "{\"type\":\"hit\"" + textMember("threat", threat) + "," + json::pathMembers(path) +
                     ",\"action\":\"" + actionName(action) + "\"";
  if (action == HitAction::NotRemoved || action == HitAction::Gone) line += textMember("reason", reason);
  return line + "}";
}

std::string jsonUnreadableLine(const std::string& path) {
  return "{\"type\":\"unreadable\"," + json::pathMembers(path) + "}";
}

std::string jsonExcludedLine(const std::string& path) {
  return "{\"type\":\"excluded\"," + json::pathMembers(path) + "}";
}

std::string jsonUpdateLine(const std::string& status, std::uint64_t version, const std::string& reason) {
  std::string line = "{\"type\":\"update\"" + textMember("status", status) + number("version", version);
  if (!reason.empty()) line += textMember("reason", reason);
  return line + "}";
}

std::string jsonSummaryLine(const ScanSummary& summary) {
  return "{\"type\":\"summary\"" + number("scanned", summary.scanned) + number("hits", summary.hits) +
         number("unreadable", summary.unreadable) + number("excluded", summary.excluded) +
         number("signatures_version", summary.signaturesVersion) + ",\"started\":\"" + core::isoTime(summary.started) +
         "\",\"ended\":\"" + core::isoTime(summary.ended) + "\",\"status\":" + std::to_string(summary.status) + "}";
}

}  // namespace halvik::app
