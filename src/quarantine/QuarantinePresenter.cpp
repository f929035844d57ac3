#include "quarantine/QuarantinePresenter.h"

#include "engine/SignatureDb.h"
#include "platform/Platform.h"
#include "quarantine/CopyNumber.h"
#include "quarantine/QuarantineStore.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace halvik::quarantine {

namespace {

// The name a stored file had when it was detected, and its threat name. Every stored file
// was detected by its name, so when the source name is not in the signature database but the
// name without the store's copy number is, the file is a numbered copy of that name.
std::pair<std::string, std::string> originalNameAndThreat(const std::string& storedName) {
  const std::string sourceName = SourceNameOf(storedName);
  std::string threat = engine::LookupThreat(sourceName);
  if (!threat.empty()) return {sourceName, threat};
  if (const auto original = withoutCopyNumber(sourceName)) {
    threat = engine::LookupThreat(*original);
    if (!threat.empty()) return {*original, threat};
  }
  return {sourceName, std::string()};
}

// True when `destination` is the stored file itself (the same path, a link to it or another
// name of it): restoring onto it would copy the file over itself and then delete it.
bool isStoredFile(const std::string& storedName, const std::string& destination) {
  std::error_code error;
  const std::string stored = QuarantineFolder() + platform::kSeparator + storedName;
  return std::filesystem::equivalent(std::filesystem::path(stored), std::filesystem::path(destination), error);
}

}  // namespace

void QuarantinePresenter::fill() {
  m_view.clearRows();
  for (const QuarantineEntry& entry : ListQuarantine())
    m_view.addRow({entry.storedName, originalNameAndThreat(entry.storedName).second, std::to_string(entry.size)});
}

void QuarantinePresenter::restoreSelected() {
  const auto storedName = selectedStoredName();
  if (!storedName) return;
  const auto record = QuarantineRecordOf(*storedName);
  const auto destination =
      m_view.askRestorePath(record ? record->originalPath : originalNameAndThreat(*storedName).first);
  if (!destination || destination->empty()) return;
  if (isStoredFile(*storedName, *destination)) return;
  if (!RestoreFromQuarantine(*storedName, *destination)) return;
  m_view.removeSelectedRow();
  m_view.quarantineChanged();
}

void QuarantinePresenter::deleteSelected() {
  const auto storedName = selectedStoredName();
  if (!storedName) return;
  if (!DeleteFromQuarantine(*storedName)) return;
  m_view.removeSelectedRow();
  m_view.quarantineChanged();
}

std::optional<std::string> QuarantinePresenter::selectedStoredName() const {
  auto storedName = m_view.selectedStoredName();
  if (!storedName || storedName->empty()) return std::nullopt;
  return storedName;
}

}  // namespace halvik::quarantine
