#include "engine/ScanHit.h"

#include <utility>

namespace halvik::engine::mScanFiles {
namespace {
using State = ReachedFolder::State;

// The names below the root, in order; the last one is the entry's.
std::vector<std::string> namesBelowRoot(const Hit& hit) {
  std::vector<std::string> names;
  std::size_t start = hit.rootLength + 1;
  while (start <= hit.path.size()) {
    const auto end = hit.path.find(platform::kSeparator, start);
    names.push_back(hit.path.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return names;
}

// The subfolder `name` of `parent`, provided it is still the folder `expected`.
State openChecked(const platform::FolderHandle& parent, const std::string& name, const platform::FolderId& expected,
                  platform::FolderHandle& child) {
  const auto found = parent.identify(name);
  if (!found) return State::Gone;
  if (!(*found == platform::EntryIdentity{expected, platform::EntryKind::Folder})) return State::Changed;
  child = parent.openChild(name);
  return child.valid() && child.id() == expected ? State::Reached : State::Changed;
}
}  // namespace

ReachedFolder ReachFolder(const Hit& hit) {
  ReachedFolder reached;
  if (hit.rootLength >= hit.path.size() || hit.path[hit.rootLength] != platform::kSeparator) return reached;
  std::vector<std::string> names = namesBelowRoot(hit);
  if (names.size() != hit.folders.size()) return reached;
  platform::FolderHandle folder = platform::FolderHandle::open(hit.path.substr(0, hit.rootLength + 1));
  if (!folder.valid()) {
    reached.state = State::Gone;
    return reached;
  }
  if (!(folder.id() == hit.folders.front())) return reached;
  for (std::size_t level = 1; level < hit.folders.size(); ++level) {
    platform::FolderHandle child;
    reached.state = openChecked(folder, names[level - 1], hit.folders[level], child);
    if (reached.state != State::Reached) return reached;
    folder = std::move(child);
  }
  reached.state = State::Reached;
  reached.folder = std::move(folder);
  reached.name = std::move(names.back());
  return reached;
}

}  // namespace halvik::engine::mScanFiles
