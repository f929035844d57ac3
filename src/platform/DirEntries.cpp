#include "platform/DirEntries.h"

#include "platform/Platform.h"

namespace halvik::platform {

void DirEntries::clear() {
  m_names.clear();
  m_entries.clear();
}

void DirEntries::add(std::string_view name, std::uint32_t attributes, std::uint64_t listedId) {
  m_entries.push_back({m_names.size(), static_cast<std::uint32_t>(name.size()), attributes, listedId});
  m_names.append(name);
}

// Every backend lists through listInto; list gives the same entries as strings of their own.
std::optional<std::vector<DirEntry>> FolderHandle::list(const std::string& pattern, std::uint32_t includeMask) const {
  DirEntries listed;
  if (!listInto(listed, pattern, includeMask)) return std::nullopt;
  std::vector<DirEntry> entries;
  entries.reserve(listed.size());
  for (std::size_t index = 0; index < listed.size(); ++index)
    entries.push_back(DirEntry{std::string(listed.name(index)), listed.attributes(index)});
  return entries;
}

}  // namespace halvik::platform
