#pragma once

#include "platform/Platform.h"
#include "platform/Status.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Being told of the entries that appear in folders: created there or renamed into them. Three
// kinds of watch, as the systems offer them:
// - FileSystems (Linux fanotify with names, for a process with the right to use it): whole file
//   systems are marked, without a watch per folder; an event carries the folder as the system's
//   opaque handle, resolved to a path only when the caller asks for it (folderPathOf).
// - Folders (Linux inotify): one watch per folder, covering that folder's own entries; an event
//   names the watch it came from.
// - Trees (Windows ReadDirectoryChangesW): one watch per folder tree, recursive; an event names
//   the watch and carries the path of the entry's folder relative to the watched folder.
// An event only tells that a name appeared: what the entry is, the caller looks at itself.
namespace halvik::platform {

struct FolderEvent {
  std::int64_t watch = -1;  // the watch the event came from; -1 for a file-system watch
  std::string folder;       // FileSystems: the folder's handle; Trees: the folder below the watched one ("" itself)
  std::string name;         // the entry's name in that folder
  bool isFolder = false;    // the entry is a folder, as the system saw it when it reported it
};

struct FolderEvents {
  std::vector<FolderEvent> events;
  bool overflow = false;  // the system dropped events: what appeared meanwhile must be looked for
  bool woken = false;     // wake() was called since the last read
  bool failed = false;    // the watch cannot be read any more
};

// The system's code for a watch refused because a limit on watches was reached (ENOSPC on
// Linux, ERROR_NOT_ENOUGH_QUOTA on Windows).
extern const std::uint32_t kWatchLimitReached;

// When the entry `path` names was created (a final link is not followed: the link's own), in
// the system's units; 0 where the system does not tell. With the device and file number it tells
// a new entry from a removed one whose number the file system gave again.
std::uint64_t entryBirth(const std::string& path);

// An entry for as long as it exists: its device and file number, and when it was created.
struct LastingId {
  FolderId id;
  std::uint64_t birth = 0;
  bool operator==(const LastingId&) const = default;
};

struct LastingIdHash {
  std::size_t operator()(const LastingId& entry) const {
    return static_cast<std::size_t>((entry.id.file * 31 + entry.id.device) * 31 + entry.birth);
  }
};

// A folder a watch of the user's files covers when the user chose none.
struct DefaultWatchFolder {
  std::string path;
  bool subfolders = true;
  bool fileSystem = false;  // the mount point of a whole file system, for a watch of whole file systems only
};

// The mount points of the local file systems a watch of whole file systems may mark here: on
// Linux the disks (block-backed FUSE included), tmpfs and overlay file systems of the mount
// table (posix::localFileSystemMountPoints) whose mark the system grants; none where it grants
// no such watch (fanotify needs root) and on Windows.
std::vector<std::string> watchableFileSystems();

// The folders where what the user downloads, or what starts with the session, arrives: on Linux
// the XDG download and desktop folders (from user-dirs.dirs), the autostart and systemd user
// folders, /tmp, /var/tmp and /dev/shm with their subfolders, and the home folder alone; on
// Windows the downloads, the desktop, the start-up folder and the temporary folder, and the
// profile folder alone. Where a watch of whole file systems is granted (Linux, as root), every
// watchable local file system instead (watchableFileSystems).
std::vector<DefaultWatchFolder> defaultWatchFolders();

class FolderWatch {
 public:
  enum class Kind { None, FileSystems, Folders, Trees };

  FolderWatch();
  FolderWatch(FolderWatch&&) noexcept;
  FolderWatch& operator=(FolderWatch&&) noexcept;
  ~FolderWatch();

  // A watch of whole file systems; Kind::None where the system offers none or refuses it
  // (*failure then says why).
  static FolderWatch openFileSystems(Status* failure = nullptr);
  // A watch of folders one by one (Linux) or of folder trees (Windows).
  static FolderWatch openFolders(Status* failure = nullptr);

  Kind kind() const { return m_kind; }
  bool valid() const { return m_kind != Kind::None; }

  // Starts watching `path` (a folder; a final link is not followed): its file system, the folder
  // alone or its tree, by the watch's kind. The watch's number, or nullopt with *failure set
  // (kWatchLimitReached when the system's limit on watches is reached).
  std::optional<std::int64_t> add(const std::string& path, Status* failure = nullptr);
  // Stops a folder or tree watch (one the system ended already is ignored).
  void remove(std::int64_t watch);

  // Waits up to `timeout` for events, or until wake(). A folder or tree watch whose folder went
  // away is dropped: `removed` receives its number.
  FolderEvents read(std::chrono::milliseconds timeout, std::vector<std::int64_t>* removed = nullptr);

  // Ends a read that is waiting, or the next one, at once. Safe from another thread and from a
  // signal handler.
  void wake() const;

  // FileSystems: the path of the folder an event names, or nullopt when it is gone or cannot be
  // opened. Costs opening the folder: asked only for events that matter.
  std::optional<std::string> folderPathOf(const FolderEvent& event) const;

  // How many folder watches one user may hold on this system; nullopt when it sets no limit.
  static std::optional<std::uint64_t> folderWatchLimit();

  // For tests: once this many folder watches are held by one watch, the next one is refused as
  // the system refuses it at its limit; nullopt gives the system's behaviour back.
  static void refuseWatchesBeyondForTesting(std::optional<std::size_t> count);

  struct State;  // the backend's descriptors and buffers, its own business

 private:
  FolderWatch(Kind kind, std::unique_ptr<State> state);

  Kind m_kind = Kind::None;
  std::unique_ptr<State> m_state;
};

}  // namespace halvik::platform
