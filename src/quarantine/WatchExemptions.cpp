#include "quarantine/WatchExemptions.h"

#include "engine/SignatureDb.h"
#include "platform/Ownership.h"
#include "quarantine/QuarantineStore.h"

#include <fstream>
#include <sstream>

namespace halvik::quarantine {
namespace {
constexpr const char* kFileName = "WatchExemptions.txt";

std::string exemptionsFile() { return QuarantineFolder() + platform::kSeparator + kFileName; }

std::string lineOf(const platform::LastingId& entry) {
  return std::to_string(entry.id.device) + ' ' + std::to_string(entry.id.file) + ' ' + std::to_string(entry.birth);
}
}  // namespace

bool IsExempt(const platform::LastingId& entry) {
  const std::string path = exemptionsFile();
  // A file another user could write could exempt whatever it wants.
  if (!platform::isPrivate(path)) return false;
  std::ifstream lines(path, std::ios::binary);
  const std::string wanted = lineOf(entry);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == wanted) return true;
  }
  return false;
}

bool AddExemption(const platform::LastingId& entry) {
  EnsureQuarantineFolder();
  const std::string path = exemptionsFile();
  return platform::createPrivateFile(path).ok() && platform::appendLine(path, lineOf(entry)).ok();
}

bool ExemptFile(const std::string& path) {
  const std::string name = engine::FileNameOf(path);
  const platform::FolderHandle folder = platform::FolderHandle::open(path.substr(0, path.size() - name.size()));
  const auto identity = folder.identify(name);
  if (!identity || identity->kind != platform::EntryKind::File) return false;
  return AddExemption({identity->id, platform::entryBirth(path)});
}

}  // namespace halvik::quarantine
