#include "app/JsonReport.h"

namespace halvik::app {

void JsonReport::hit(const engine::mScanFiles::Hit& hit) {
  if (!m_repair) m_out << jsonHitLine(hit.threatName, hit.path, HitAction::Found) << '\n';
}

void JsonReport::unreadable(const std::string& path) {
  if (!m_quiet) m_out << jsonUnreadableLine(path) << '\n';
}

void JsonReport::excluded(const std::string& path) {
  if (!m_quiet) m_out << jsonExcludedLine(path) << '\n';
}

void JsonReport::repaired(const engine::mScanFiles::Hit& hit, HitAction action) {
  // The repair keeps the reason of each refusal in the day log; the line says where to look.
  const bool folder = hit.entry && hit.entry->kind == platform::EntryKind::Folder;
  const char* reason = action == HitAction::Gone ? "gone since the scan"
                       : folder                  ? "a folder is never removed"
                                                 : "changed since the scan, or refused by the system (see the day log)";
  m_out << jsonHitLine(hit.threatName, hit.path, action, reason) << '\n';
}

void JsonReport::summary(const ScanSummary& summary) {
  if (!m_quiet) m_out << jsonSummaryLine(summary) << '\n';
  m_out.flush();
}

}  // namespace halvik::app
