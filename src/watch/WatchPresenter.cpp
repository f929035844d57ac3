#include "watch/WatchPresenter.h"

#include "core/NoticeText.h"
#include "core/Settings.h"
#include "quarantine/WatchExemptions.h"
#include "scan/HitRepair.h"

#include <utility>

namespace halvik::watch {
namespace {
constexpr const char* kChanged = "Le fichier a chang\u00E9 : il n'a pas \u00E9t\u00E9 touch\u00E9.";
// A notice is one line: what became of the file follows its path.
constexpr const char* kThen = " \u2014 ";

std::string titleOf(const engine::mScanFiles::Hit& hit) { return core::oneLine(hit.threatName) + " d\u00E9tect\u00E9"; }
}  // namespace

void WatchPresenter::found(const engine::mScanFiles::Hit& hit) {
  if (!hit.entry) return;
  const platform::LastingId id{hit.entry->id, platform::entryBirth(hit.path)};
  if (quarantine::IsExempt(id) || !m_noticed.insert(id).second) return;
  if (core::settings::onWhenOne(core::settings::Key::AutoQuarantine)) {
    m_view.showNotice(titleOf(hit), core::oneLine(hit.path) + kThen + quarantine(hit), false);
    return;
  }
  m_pending[m_view.showNotice(titleOf(hit), core::oneLine(hit.path), true)] = {hit, id};
}

void WatchPresenter::limitReached() {
  if (std::exchange(m_limitTold, true)) return;
  m_view.showNotice(
      "Surveillance des fichiers",
      "La limite de dossiers surveill\u00E9s est atteinte : les nouveaux dossiers ne sont pas surveill\u00E9s.", false);
}

void WatchPresenter::quarantineChosen(std::uint32_t notice) {
  const auto pending = m_pending.find(notice);
  if (pending == m_pending.end()) return;
  const Pending chosen = std::move(pending->second);
  m_pending.erase(pending);
  // A file removed meanwhile may have left its number to a new one: its creation time tells them apart.
  const bool same = platform::entryBirth(chosen.hit.path) == chosen.id.birth;
  m_view.showNotice(titleOf(chosen.hit),
                    core::oneLine(chosen.hit.path) + kThen + (same ? quarantine(chosen.hit) : kChanged), false);
}

void WatchPresenter::ignoreChosen(std::uint32_t notice) {
  const auto pending = m_pending.find(notice);
  if (pending == m_pending.end()) return;
  quarantine::AddExemption(pending->second.id);
  m_pending.erase(pending);
}

std::string WatchPresenter::quarantine(const engine::mScanFiles::Hit& hit) {
  switch (scan::RepairHit(hit, true)) {
    case scan::RepairOutcome::Removed: break;
    case scan::RepairOutcome::Gone: return "Le fichier a disparu : rien n'a \u00E9t\u00E9 supprim\u00E9.";
    case scan::RepairOutcome::Changed: return kChanged;
    case scan::RepairOutcome::Kept: return "Le fichier n'a pas pu \u00EAtre mis en quarantaine.";
  }
  using core::settings::Key;
  core::settings::write(Key::TotalObjectsRemoved,
                        core::settings::numberText(core::settings::readNumber(Key::TotalObjectsRemoved) + 1));
  return "Mis en quarantaine.";
}

}  // namespace halvik::watch
