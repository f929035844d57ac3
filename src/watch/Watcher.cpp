#include "watch/Watcher.h"

#include "core/mMain.h"
#include "platform/Ascii.h"
#include "platform/Platform.h"

#include <algorithm>
#include <utility>

namespace halvik::watch {
namespace {
using platform::FolderHandle;
using platform::FolderId;
using Kind = platform::FolderWatch::Kind;

constexpr std::uint32_t kNeverLookedAt = platform::kHidden | platform::kSystem;

// Trailing separators dropped, so that every path below is folder, separator, name ("/" is "").
std::string normalised(std::string path) {
  while (!path.empty() && path.back() == platform::kSeparator) path.pop_back();
  return path;
}

// The path the system takes for a normalised folder path.
std::string systemPath(const std::string& path) { return path.empty() ? std::string(1, platform::kSeparator) : path; }

// A folder the walk enters: a folder, neither a link nor hidden nor a system entry.
bool entered(std::uint32_t attributes) {
  return (attributes & platform::kFolder) && !(attributes & (platform::kReparsePoint | kNeverLookedAt));
}

FolderHandle openChecked(const std::string& path, const FolderId& expected) {
  FolderHandle handle = FolderHandle::open(path + platform::kSeparator);
  return handle.valid() && handle.id() == expected ? std::move(handle) : FolderHandle();
}

// The names of a relative folder path ("" or names each after a separator; Windows gives them
// without the first separator).
std::vector<std::string> namesOf(const std::string& relative) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start <= relative.size()) {
    const auto end = std::min(relative.find(platform::kSeparator, start), relative.size());
    if (end > start) names.push_back(relative.substr(start, end - start));
    start = end + 1;
  }
  return names;
}
}  // namespace

Watcher::Watcher(std::vector<WatchedFolder> folders, Lookup lookup, Callbacks callbacks, Backend backend)
    : m_roots(std::move(folders)), m_lookup(std::move(lookup)), m_callbacks(std::move(callbacks)), m_backend(backend) {
  for (WatchedFolder& root : m_roots) root.path = normalised(root.path);
}

bool Watcher::start(platform::Status* failure) {
  if (m_backend == Backend::Best) markFileSystems();
  if (!m_watch.valid()) {
    const auto whole = std::erase_if(m_roots, [](const WatchedFolder& root) { return root.fileSystem; });
    if (whole > 0)
      core::mMain::WriteLog("The file watch leaves out " + std::to_string(whole) +
                            " whole file systems: the system grants no watch of whole file systems");
    m_watch = platform::FolderWatch::openFolders(failure);
  }
  if (!m_watch.valid()) return false;
  m_listsNewFolders = std::any_of(m_roots.begin(), m_roots.end(),
                                  [](const WatchedFolder& root) { return root.subfolders && !root.fileSystem; });
  if (kind() == Kind::Folders) {
    const auto limit = platform::FolderWatch::folderWatchLimit();
    m_share = limit ? std::max<std::size_t>(watchShare(*limit), 1) : 0;
  }
  for (std::size_t root = 0; root < m_roots.size(); ++root) {
    if (kind() == Kind::Trees)
      if (const auto watch = m_watch.add(systemPath(m_roots[root].path))) m_trees[*watch] = root;
    walkRoot(root, false);
  }
  m_started = true;
  core::mMain::WriteLog("The file watch started on " + std::to_string(m_roots.size()) + " folders, " +
                        (kind() == Kind::FileSystems ? "by file system"
                         : kind() == Kind::Folders   ? "by folder"
                                                     : "by tree"));
  return true;
}

// Marks the file system of each watched folder. A missing folder is not watched; one whose file
// system refuses the mark makes all go per folder, except a whole file system, which is left
// out alone.
void Watcher::markFileSystems() {
  m_watch = platform::FolderWatch::openFileSystems();
  std::vector<std::string> refused;
  for (const WatchedFolder& root : m_roots) {
    if (!m_watch.valid()) return;
    if (!FolderHandle::open(systemPath(root.path)).valid() || m_watch.add(systemPath(root.path))) continue;
    if (!root.fileSystem) {
      m_watch = platform::FolderWatch();
      return;
    }
    core::mMain::WriteLog("The file watch leaves out " + systemPath(root.path) +
                          ": its file system cannot be watched whole");
    refused.push_back(root.path);
  }
  std::erase_if(m_roots, [&](const WatchedFolder& root) {
    return root.fileSystem && std::find(refused.begin(), refused.end(), root.path) != refused.end();
  });
}

bool Watcher::runFor(std::chrono::milliseconds timeout) {
  if (m_stopped) return false;
  std::vector<std::int64_t> removed;
  const platform::FolderEvents events = m_watch.read(timeout, &removed);
  for (const platform::FolderEvent& event : events.events) handle(event);
  for (const std::int64_t watch : removed) {
    m_folders.erase(watch);
    m_trees.erase(watch);
  }
  if (events.overflow) rescan();
  return !m_stopped && !events.failed;
}

void Watcher::run() {
  while (runFor(std::chrono::hours(1))) {
  }
}

void Watcher::stop() {
  m_stopped = true;
  if (m_started) m_watch.wake();
}

void Watcher::walkRoot(std::size_t root, bool report) {
  if (m_roots[root].fileSystem) return;
  FolderHandle handle = FolderHandle::open(m_roots[root].path + platform::kSeparator);
  if (!handle.valid()) return;
  walkFrom(Folder{m_roots[root].path, root, {handle.id()}}, report);
}

// Watches and lists `start` and, in a watched tree, every folder below it, without recursion:
// each folder is opened again by its path and checked against the identity seen in its parent.
void Watcher::walkFrom(Folder start, bool report) {
  std::vector<Folder> pending;
  pending.push_back(std::move(start));
  while (!pending.empty() && !m_stopped) {
    const Folder folder = std::move(pending.back());
    pending.pop_back();
    const FolderHandle handle = openChecked(folder.path, folder.chain.back());
    if (handle.valid()) walkOne(folder, handle, report, pending);
  }
}

void Watcher::walkOne(const Folder& folder, const FolderHandle& handle, bool report, std::vector<Folder>& pending) {
  const bool subfolders = m_roots[folder.root].subfolders;
  // The watch comes first: what appears while the folder is listed is seen one way or the other.
  if (kind() == Kind::Folders && (subfolders || folder.chain.size() == 1)) watchFolder(folder);
  const auto entries = handle.list("*", platform::kFolder);
  if (!entries) return;
  for (const platform::DirEntry& entry : *entries) {
    const std::string threat = m_lookup(entry.name);
    if (!threat.empty()) consider(folder, handle, entry.name, threat, report);
    if (subfolders && entered(entry.attributes))
      if (auto child = childOf(folder, handle, entry.name)) pending.push_back(std::move(*child));
  }
}

// The subfolder `name` of `folder` as a folder to walk; nullopt when it is on another file
// system, a link or gone, or is one of the folders above it (a folder bound inside itself).
std::optional<Watcher::Folder> Watcher::childOf(const Folder& folder, const FolderHandle& handle,
                                                const std::string& name) const {
  const auto identity = handle.identify(name);
  if (!identity || identity->kind != platform::EntryKind::Folder) return std::nullopt;
  if (identity->id.device != folder.chain.back().device) return std::nullopt;
  if (std::find(folder.chain.begin(), folder.chain.end(), identity->id) != folder.chain.end()) return std::nullopt;
  Folder child{folder.path + platform::kSeparator + name, folder.root, folder.chain};
  child.chain.push_back(identity->id);
  return child;
}

void Watcher::watchFolder(const Folder& folder) {
  if (m_limited) return;
  if (m_share != 0 && m_folders.size() >= m_share) {
    limit("its share of the system's folder watches (" + std::to_string(m_share) + ") is in use");
    return;
  }
  platform::Status failure;
  const auto watch = m_watch.add(systemPath(folder.path), &failure);
  if (watch)
    m_folders[*watch] = folder;
  else if (failure.code() == platform::kWatchLimitReached)
    limit("the system's limit on folder watches is reached");
}

void Watcher::limit(const std::string& reason) {
  m_limited = true;
  core::mMain::WriteLog("The file watch adds no more folders: " + reason + "; " + std::to_string(m_folders.size()) +
                        " folders stay watched");
  if (m_callbacks.limitReached) m_callbacks.limitReached();
}

void Watcher::handle(const platform::FolderEvent& event) {
  if (kind() == Kind::Folders) {
    const auto folder = m_folders.find(event.watch);
    if (folder != m_folders.end()) handleInFolder(folder->second, event);
    return;
  }
  if (kind() == Kind::Trees) {
    const auto tree = m_trees.find(event.watch);
    if (tree != m_trees.end() && (m_roots[tree->second].subfolders || event.folder.empty()))
      handleBelowRoot(tree->second, event.folder, event);
    return;
  }
  // The name first: only a threat, or a new folder whose entries are to be listed, costs a copy
  // of the folder's handle or a look at the folder.
  if (!(event.isFolder && m_listsNewFolders) && m_lookup(event.name).empty()) return;
  const auto path = m_watch.folderPathOf(event);
  const auto root = path ? rootHolding(*path) : std::nullopt;
  if (root) handleBelowRoot(*root, path->substr(m_roots[*root].path.size()), event);
}

void Watcher::handleInFolder(const Folder& folder, const platform::FolderEvent& event) {
  const bool newFolder = event.isFolder && m_roots[folder.root].subfolders;
  const std::string threat = m_lookup(event.name);
  if (threat.empty() && !newFolder) return;
  const FolderHandle handle = openChecked(folder.path, folder.chain.back());
  if (!handle.valid()) return;
  if (!threat.empty()) consider(folder, handle, event.name, threat, true);
  if (newFolder) enterNew(folder, handle, event.name);
}

// An event below a watched root: the folder is reached from the root one name at a time, under
// the walk's rules (no link, no hidden folder, no other file system).
void Watcher::handleBelowRoot(std::size_t root, const std::string& relative, const platform::FolderEvent& event) {
  FolderHandle handle = FolderHandle::open(m_roots[root].path + platform::kSeparator);
  if (!handle.valid()) return;
  Folder folder{m_roots[root].path, root, {handle.id()}};
  for (const std::string& name : namesOf(relative)) {
    const auto attributes = handle.attributesOf(name);
    auto child = attributes && entered(*attributes) ? childOf(folder, handle, name) : std::nullopt;
    if (!child) return;
    handle = openChecked(child->path, child->chain.back());
    if (!handle.valid()) return;
    folder = std::move(*child);
  }
  const std::string threat = m_lookup(event.name);
  if (!threat.empty()) consider(folder, handle, event.name, threat, true);
  if (event.isFolder && m_roots[root].subfolders && !m_roots[root].fileSystem) enterNew(folder, handle, event.name);
}

// A folder that appeared in a watched tree: watched (with a watch per folder), then listed once,
// so that what was created in it before its watch existed is seen too.
void Watcher::enterNew(const Folder& folder, const FolderHandle& handle, const std::string& name) {
  const auto attributes = handle.attributesOf(name);
  if (!attributes || !entered(*attributes)) return;
  if (auto child = childOf(folder, handle, name)) walkFrom(std::move(*child), true);
}

void Watcher::rescan() {
  core::mMain::WriteLog("The file watch missed events: the watched folders are listed again");
  for (std::size_t root = 0; root < m_roots.size(); ++root) walkRoot(root, true);
}

void Watcher::consider(const Folder& folder, const FolderHandle& handle, const std::string& name,
                       const std::string& threat, bool report) {
  const auto attributes = handle.attributesOf(name);
  if (!attributes || (*attributes & kNeverLookedAt)) return;
  const auto identity = handle.identify(name);
  if (!identity) return;
  std::string path = folder.path + platform::kSeparator + name;
  if (!m_seen.insert({identity->id, platform::entryBirth(path)}).second || !report) return;
  engine::mScanFiles::Hit hit{platform::upperCase(threat), std::move(path), m_roots[folder.root].path.size(),
                              folder.chain, identity};
  core::mMain::WriteLog(hit.path + " appeared and is found as malicious: " + hit.threatName);
  if (m_callbacks.found) m_callbacks.found(hit);
}

// The deepest watched folder whose watch covers the folder `path`.
std::optional<std::size_t> Watcher::rootHolding(const std::string& path) const {
  std::optional<std::size_t> best;
  for (std::size_t root = 0; root < m_roots.size(); ++root) {
    const std::string& rootPath = m_roots[root].path;
    if (path.compare(0, rootPath.size(), rootPath) != 0) continue;
    const bool itself = path.size() == rootPath.size();
    if (!itself && (path[rootPath.size()] != platform::kSeparator || !m_roots[root].subfolders)) continue;
    if (!best || rootPath.size() > m_roots[*best].path.size()) best = root;
  }
  return best;
}

}  // namespace halvik::watch
