#pragma once

#include "engine/ScanHit.h"
#include "platform/FolderWatch.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// The watch of folders as files arrive: every entry whose bare name is a threat is reported
// when it is created in a watched folder or renamed into one, with the walk's rules (hidden and
// system entries are never looked up, a link is reported as the link and never followed, a
// folder on another file system is entered only when it is watched itself). Entries present
// when the watch starts are not reported, and each entry (device and file number) is reported
// once for the watcher's life, rescans included. The name is looked up first: an event whose
// name is no threat costs nothing more. The watcher runs on one thread; stop() may come from
// any thread or a signal handler.
namespace halvik::watch {

struct WatchedFolder {
  std::string path;        // a full path
  bool subfolders = true;  // the whole tree, or the folder's own entries only
  // The mount point of a whole file system, watched only where its file system is marked whole
  // (left out otherwise: no watch of every folder of a disk), and never listed: what is there
  // at the start is not looked at (the mark's queue has no limit, so no rescan is ever due),
  // and a folder that appears needs no listing (its entries are seen as they are created).
  bool fileSystem = false;
};

// The threat stored for a bare file name, or empty text.
using Lookup = std::function<std::string(std::string_view bareName)>;

class Watcher {
 public:
  struct Callbacks {
    std::function<void(const engine::mScanFiles::Hit&)> found;
    // The system's limit on folder watches, or the watcher's own share of it, was reached: the
    // folders watched so far stay watched, others are not. Called once.
    std::function<void()> limitReached;
  };
  enum class Backend {
    Best,     // a watch of whole file systems where the system grants one, else of folders
    Folders,  // a watch per folder (or per tree on Windows)
  };

  Watcher(std::vector<WatchedFolder> folders, Lookup lookup, Callbacks callbacks, Backend backend = Backend::Best);

  // Opens the system's watch and lists the watched folders once. False when no watch could be
  // opened (*failure says why).
  bool start(platform::Status* failure = nullptr);
  platform::FolderWatch::Kind kind() const { return m_watch.kind(); }

  // Handles whatever happens within `timeout`. False once stop() was asked or the watch failed.
  bool runFor(std::chrono::milliseconds timeout);
  // Runs until stop().
  void run();
  void stop();

  // How many folder watches the watcher may hold: a quarter of the user's limit.
  static std::size_t watchShare(std::uint64_t userLimit) { return static_cast<std::size_t>(userLimit / 4); }

 private:
  // A watched folder of the per-folder watch: its path and its identity chain from its root.
  struct Folder {
    std::string path;
    std::size_t root = 0;
    std::vector<platform::FolderId> chain;
  };
  void markFileSystems();
  void walkRoot(std::size_t root, bool report);
  void walkFrom(Folder start, bool report);
  void walkOne(const Folder& folder, const platform::FolderHandle& handle, bool report, std::vector<Folder>& pending);
  std::optional<Folder> childOf(const Folder& folder, const platform::FolderHandle& handle,
                                const std::string& name) const;
  void watchFolder(const Folder& folder);
  void limit(const std::string& reason);
  void handle(const platform::FolderEvent& event);
  void handleInFolder(const Folder& folder, const platform::FolderEvent& event);
  void handleBelowRoot(std::size_t root, const std::string& relative, const platform::FolderEvent& event);
  void enterNew(const Folder& folder, const platform::FolderHandle& handle, const std::string& name);
  void rescan();
  void consider(const Folder& folder, const platform::FolderHandle& handle, const std::string& name,
                const std::string& threat, bool report);
  std::optional<std::size_t> rootHolding(const std::string& path) const;

  std::vector<WatchedFolder> m_roots;
  Lookup m_lookup;
  Callbacks m_callbacks;
  Backend m_backend;
  platform::FolderWatch m_watch;
  std::unordered_map<std::int64_t, Folder> m_folders;     // per-folder watch: the folder of each watch
  std::unordered_map<std::int64_t, std::size_t> m_trees;  // per-tree watch: the root of each watch
  std::unordered_set<platform::LastingId, platform::LastingIdHash> m_seen;  // every threat entry present or reported
  std::size_t m_share = 0;                                                  // 0: no limit
  bool m_limited = false;
  bool m_listsNewFolders = false;       // a watched tree is no whole file system: a new folder is listed
  std::atomic<bool> m_started = false;  // the system's watch is in place: stop() may wake it
  std::atomic<bool> m_stopped = false;
};

}  // namespace halvik::watch
