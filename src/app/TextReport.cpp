#include "app/TextReport.h"

#include "app/CommandLine.h"
#include "app/HitLine.h"
#include "core/Settings.h"

namespace halvik::app {
namespace {
const char* verdict(HitAction action) {
  switch (action) {
    case HitAction::Removed: return "supprim\u00E9";
    case HitAction::Quarantined: return "copi\u00E9 en quarantaine puis supprim\u00E9";
    case HitAction::Gone: return "non supprim\u00E9 : disparu depuis le scan";
    case HitAction::Found:
    case HitAction::NotRemoved: break;
  }
  return "non supprim\u00E9";
}

std::string count(std::uint64_t value) { return core::settings::numberText(static_cast<double>(value)); }
}  // namespace

void TextReport::hit(const engine::mScanFiles::Hit& hit) { m_out << hitLine(hit.threatName, hit.path) << '\n'; }

void TextReport::unreadable(const std::string& path) {
  if (!m_quiet) m_err << message("dossier illisible : " + escapedForLine(path)) << '\n';
}

void TextReport::repaired(const engine::mScanFiles::Hit& hit, HitAction action) {
  m_out << verdict(action) << '\t' << hitLine(hit.threatName, hit.path) << '\n';
}

void TextReport::summary(const ScanSummary& summary) {
  m_out.flush();
  if (m_quiet) return;
  m_err << "Objets Scann\u00E9s: " << count(summary.scanned) << '\n'
        << "Objets malicieux: " << count(summary.hits) << '\n'
        << "Dossiers illisibles: " << count(summary.unreadable) << '\n';
  if (m_exclusions) m_err << "Objets exclus: " << count(summary.excluded) << '\n';
}

}  // namespace halvik::app
