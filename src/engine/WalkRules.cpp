#include "engine/WalkRules.h"

#include "core/mMain.h"
#include "engine/CurrentSignatures.h"

namespace halvik::engine {
namespace {
// Attribute values of an entry that the walk enters: a folder, possibly read-only, hidden or system.
constexpr std::uint32_t kFirstFolderValue = platform::kFolder;
constexpr std::uint32_t kLastFolderValue = platform::kFolder | platform::kSystem;
}  // namespace

std::string NormaliseRoot(std::string folder) {
  if (folder.empty()) folder = std::string(1, platform::kSeparator);
  while (!folder.empty() && folder.back() == platform::kSeparator) folder.pop_back();
  return folder;
}

bool IsWalkedFolder(const platform::FolderHandle& folder, std::string_view name, std::uint32_t attributes) {
  if (!(attributes & platform::kFolder) || (attributes & platform::kReparsePoint)) return false;
  // A listing leaves the read-only bit out, and that bit changes the verdict only for a system
  // folder (read-only and system is out of range): only then is the entry looked at again.
  const std::uint32_t listed = attributes & ~static_cast<std::uint32_t>(platform::kReadOnly);
  if (listed < kFirstFolderValue || listed > kLastFolderValue) return false;
  if (listed != kLastFolderValue) return true;
  const auto full = folder.attributesOf(std::string(name));
  return full && *full >= kFirstFolderValue && *full <= kLastFolderValue;
}

void LogHit(const std::string& threatName, const std::string& path) {
  core::mMain::WriteLog(threatName + " was found in " + path,
                        {core::LogKind::Hit, threatName, path, "found", currentSignatures()->version()});
}

std::string LogUnreadable(const std::string& path) {
  const std::string folder = path.empty() ? std::string(1, platform::kSeparator) : path;
  core::mMain::WriteLog("Could not read the folder " + folder);
  return folder;
}

}  // namespace halvik::engine
