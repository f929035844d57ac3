#include "quarantine/StoredNames.h"

#include "platform/Ascii.h"
#include "platform/Platform.h"
#include "quarantine/CopyNumber.h"

namespace halvik::quarantine {
namespace {

// The longest file name the file systems we run on accept, in bytes.
constexpr std::size_t kMaxNameBytes = 255;

// The most copies of one source name the store keeps side by side.
constexpr int kMaxNumber = 100000;

std::string numberedName(const std::string& name, int number) {
  return withCopyNumber(name, number, kMaxNameBytes - kStoredExtension.size()) + std::string(kStoredExtension);
}

}  // namespace

StoredNames::StoredNames(const std::string& folder) {
  const auto listing =
      platform::listFolder(folder, "*" + std::string(kStoredExtension),
                           platform::kHidden | platform::kSystem | platform::kFolder, platform::ListDetail::Kinds);
  if (!listing) return;
  for (const platform::DirEntry& entry : *listing) take(entry.name);
}

std::optional<std::string> StoredNames::next(const std::string& name) {
  int& number = m_numbers.try_emplace(name, 1).first->second;
  for (; number <= kMaxNumber; ++number) {
    std::string stored = numberedName(name, number);
    if (!m_taken.contains(platform::upperCase(stored))) return stored;
  }
  return std::nullopt;
}

void StoredNames::take(const std::string& storedName) { m_taken.insert(platform::upperCase(storedName)); }

}  // namespace halvik::quarantine
