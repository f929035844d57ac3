#include "quarantine/QuarantinePageLogic.h"

#include "engine/SignatureDb.h"
#include "platform/Platform.h"
#include "quarantine/QuarantineStore.h"

#include <filesystem>
#include <system_error>

namespace {

// True when `destination` is the stored file itself (the same path, a link to it or another
// name of it): restoring onto it would copy the file over itself and then delete it.
bool isStoredFile(const std::string& storedName, const std::string& destination) {
  std::error_code error;
  const std::string stored = QuarantineFolder() + platform::kSeparator + storedName;
  return std::filesystem::equivalent(std::filesystem::path(stored), std::filesystem::path(destination), error);
}

}  // namespace

void QuarantinePageLogic::fill() {
  m_view.clearRows();
  for (const QuarantineEntry& entry : ListQuarantine())
    m_view.addRow({entry.storedName, LookupThreat(entry.sourceName), std::to_string(entry.size)});
}

void QuarantinePageLogic::restoreSelected() {
  const auto storedName = selectedStoredName();
  if (!storedName) return;
  const auto destination = m_view.askRestorePath(SourceNameOf(*storedName));
  if (!destination || destination->empty()) return;
  if (isStoredFile(*storedName, *destination)) return;
  if (!RestoreFromQuarantine(*storedName, *destination)) return;
  m_view.removeSelectedRow();
  m_view.quarantineChanged();
}

void QuarantinePageLogic::deleteSelected() {
  const auto storedName = selectedStoredName();
  if (!storedName) return;
  if (!DeleteFromQuarantine(*storedName)) return;
  m_view.removeSelectedRow();
  m_view.quarantineChanged();
}

std::optional<std::string> QuarantinePageLogic::selectedStoredName() const {
  auto storedName = m_view.selectedStoredName();
  if (!storedName || storedName->empty()) return std::nullopt;
  return storedName;
}
