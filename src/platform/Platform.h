#pragma once

#include "platform/Status.h"
#include "platform/SystemHandle.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The operating system behind the program: files and folders, dates, processes and the
// start-up entry. One backend per system (posix/, win32/), chosen by the build. Paths and
// names are byte strings in the system's 8-bit encoding and are never re-encoded here.
// Nothing in this layer throws; every operation reports failure through its result, an
// operation that acts on the system through a Status that carries the system's reason.
namespace halvik::platform {

#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

// Attribute bits of a folder entry, with the values of the Windows file attributes.
enum Attribute : std::uint32_t {
  kReadOnly = 1,
  kHidden = 2,  // Windows's own attribute; never set on Linux, where a leading dot only names a file
  kSystem = 4,
  kFolder = 16,
  kArchive = 32,
  kReparsePoint = 1024,  // a symbolic link; never entered as a folder
};

// ---- Files and folders -------------------------------------------------------------

// Folder that holds the running executable, without a trailing separator ("/" stays "/"). Empty
// when the system cannot tell (never the working folder): the programs then stop.
std::string programFolder();

struct DirEntry {
  std::string name;
  std::uint32_t attributes = 0;
};

class DirEntries;

// How much listFolder finds out about each entry.
enum class ListDetail {
  Full,   // every attribute bit
  Kinds,  // every bit but read-only (1), which is left clear: on Linux it costs a stat per
          // entry, while the kind of an entry (folder, link, system, hidden) comes with the
          // listing itself; for walks of large trees that need only the kinds
};

// Lists `folder` for the wildcard `pattern` ("*" any run of bytes, "?" one byte, ASCII
// letters compared without regard to case, "*.*" matches every name). Entries that carry
// the hidden, system or folder attribute are returned only when `includeMask` holds that
// bit; all other entries always. "." and ".." come as the system lists them.
// nullopt when the folder cannot be listed.
std::optional<std::vector<DirEntry>> listFolder(const std::string& folder, const std::string& pattern,
                                                std::uint32_t includeMask, ListDetail detail = ListDetail::Full);

// Attribute bits of the entry `path` names (a final symbolic link is not followed).
std::optional<std::uint32_t> fileAttributes(const std::string& path);

// Length in bytes of whatever `path` names (a link's own length); nullopt when it does not exist.
std::optional<std::uint64_t> fileLength(const std::string& path);

// Who owns a file and what its permission bits allow (POSIX systems only).
struct FilePermissions {
  std::uint32_t mode = 0;  // the permission bits, 0777 at most: set-ID and sticky bits are never carried
  std::uint32_t owner = 0;
  std::uint32_t group = 0;
  bool operator==(const FilePermissions&) const = default;
};

struct FileStatus {
  std::uint64_t size = 0;
  // A regular file's; nullopt for anything else, and on Windows, where access lists hold the rights.
  std::optional<FilePermissions> permissions = std::nullopt;
};

// Size, permission bits, owner and group of the entry `path` names (a final symbolic link is
// not followed: a link gives its own); nullopt when it does not exist.
std::optional<FileStatus> fileStatus(const std::string& path);

struct CopyOptions {
  bool replace = true;     // false: fail when the destination exists (never overwrite)
  bool ownerOnly = false;  // true: the copy is readable and writable by its owner only, never executable
  // The copy gets exactly these permission bits (whatever the umask, in place of ownerOnly),
  // and their owner and group when the program runs as root. Ignored on Windows.
  std::optional<FilePermissions> permissions = std::nullopt;
  // false: the copy is renamed into place without waiting for the disk, and the caller flushes
  // it with flushFile before relying on it (a batch of copies then waits for the disk once).
  // Ignored on Windows, where every copy is flushed.
  bool flush = true;
};

// Copies the bytes of `source` to `destination`. The copy is written under a temporary name
// beside the destination, flushed and renamed into place, so a failure leaves no partial file.
Status copyFile(const std::string& source, const std::string& destination, CopyOptions options = {});

// Waits until the content of the file at `path` (never followed as a link) is on the disk.
Status flushFile(const std::string& path);

// Removes one file or symbolic link by its exact path; never a folder, never recursively.
Status deleteFile(const std::string& path);

// Creates one folder level. True when the folder exists afterwards.
Status createFolder(const std::string& path);

// Creates `path` and every missing folder above it, each new one open to its owner only (on
// Windows, with the protection the user's profile passes down). An existing folder is kept as
// it is; a file in the way, or a link as the last level, is a failure. True when the folder
// exists afterwards.
Status createOwnerFolders(const std::string& path);

// Appends `line` followed by CR LF to the file `path` (created when missing), in one write.
// Fails when `path` names a symbolic link (or, on Windows, any reparse point): the line is
// never written through one, and a dangling one never creates its target. Links in the
// folders of the path are followed.
Status appendLine(const std::string& path, const std::string& line);

// ---- Walking a folder tree ---------------------------------------------------------------

// Identity of a folder or file on its file system (device and file number on POSIX, volume
// serial number and file index on Windows).
struct FolderId {
  std::uint64_t device = 0;
  std::uint64_t file = 0;
  bool operator==(const FolderId&) const = default;
};

// What an entry of a folder is, looked at without following it.
enum class EntryKind : std::uint8_t {
  File,    // a regular file
  Folder,  // a folder (never a link to one)
  Link,    // a symbolic link (on Windows any reparse point), whatever it leads to
  Other,   // a FIFO, socket or device
};

struct EntryIdentity {
  FolderId id;
  EntryKind kind = EntryKind::Other;
  bool operator==(const EntryIdentity&) const = default;
};

// A regular file held open for reading, opened through FolderHandle::openFile. Move-only; the
// handle is released with the object.
class OpenFile {
 public:
  OpenFile() = default;

  bool valid() const { return m_handle.valid(); }
  // Size, permission bits, owner and group of the open file itself, as fileStatus gives them.
  std::optional<FileStatus> status() const;
  // The system's descriptor or handle, for the backend's own use.
  std::int64_t handle() const { return m_handle.value(); }

 private:
  friend class FolderHandle;
  explicit OpenFile(SystemHandle handle) : m_handle(std::move(handle)) {}

  SystemHandle m_handle;
};

// Copies the bytes of the open file `source` to `destination`, as copyFile does.
Status copyOpenFile(const OpenFile& source, const std::string& destination, CopyOptions options = {});

// What became of an entry that was to be removed because it was the one expected.
enum class Removal {
  Removed,  // it was the entry expected, and it is gone
  Gone,     // nothing of that name is there any more
  Changed,  // another entry, or another kind of entry, holds the name now
  Failed,   // it is the entry expected, but the system refused to remove it
};

// A folder held open, so that what lies inside it is reached relative to it: a walk goes as
// deep as the tree does, whatever the length of its paths, and a subfolder replaced by a link
// while the walk runs is never followed. Move-only; the handle is released with the object.
class FolderHandle {
 public:
  FolderHandle() = default;

  // Opens the folder `path` names; links along the path, the last one included, are followed.
  static FolderHandle open(const std::string& path);

  // Opens the subfolder `name` of this folder. Never through a symbolic link, and never onto
  // another file system (a mount point below this folder is not opened: `otherFileSystem`, when
  // given, then tells that this, not a failure to open, is why no folder came back).
  // `listedId`, when not 0, is the subfolder's identity as this folder's listing gave it: where
  // the file system lists exact identities and no mount point lies in between, it is taken
  // without a look at the opened folder (a folder swapped in meanwhile then keeps the listed
  // identity, and whoever checks it later finds it changed).
  FolderHandle openChild(const std::string& name, bool* otherFileSystem = nullptr, std::uint64_t listedId = 0) const;

  // Opens the folder that holds this one, provided it is still the folder `expected`.
  FolderHandle openParent(const FolderId& expected) const;

  bool valid() const { return m_handle.valid(); }
  const FolderId& id() const { return m_id; }

  // The entries matching `pattern`, under the rules of listFolder, in the order the system
  // lists them, "." and ".." left out. Unlike listFolder the read-only bit is never set (it
  // would cost a look at every entry): attributesOf gives an entry's full set. Nor is what a
  // link leads to looked at, since no walk follows one: on Linux a link is kReparsePoint alone
  // (a link to a folder too), on Windows it has the bits of the reparse point itself.
  std::optional<std::vector<DirEntry>> list(const std::string& pattern, std::uint32_t includeMask) const;

  // As list, into `into` (cleared first); false when the folder cannot be listed.
  bool listInto(DirEntries& into, const std::string& pattern, std::uint32_t includeMask) const;

  // Attribute bits of the entry `name` of this folder, as fileAttributes gives them.
  std::optional<std::uint32_t> attributesOf(const std::string& name) const;

  // The identity and kind of the entry `name` of this folder, a link's own rather than its
  // target's; nullopt when there is no such entry (or it cannot be looked at).
  std::optional<EntryIdentity> identify(const std::string& name) const;

  // Opens the entry `name` of this folder for reading, provided it is still the regular file
  // `expected`: a link is never followed, and the check is made on the opened file itself.
  OpenFile openFile(const std::string& name, const FolderId& expected) const;

  // Removes the entry `name` of this folder, provided it is still `expected`, a file or a link
  // (never a folder; a link is removed, never its target). On Windows the entry is checked and
  // deleted through one handle; POSIX has no deletion by identity, so the name is checked
  // right before it is unlinked from this folder.
  Removal removeEntry(const std::string& name, const EntryIdentity& expected) const;

 private:
  FolderHandle(SystemHandle handle, FolderId id, bool exactListedIds = false)
      : m_handle(std::move(handle)), m_id(id), m_exactListedIds(exactListedIds) {}

  SystemHandle m_handle;
  FolderId m_id;
  bool m_exactListedIds = false;  // POSIX: the file system lists each entry's inode number exactly
  mutable bool m_listed = false;  // POSIX lists from the descriptor, rewound after the first listing
};

// The bytes the calling thread has had the system read from a disk so far (reads the page
// cache served do not count); 0 where the system does not tell (Windows).
std::uint64_t diskBytesReadByThread();

// ---- Dates, system folders, drives --------------------------------------------------

// The current date and time in the user's short forms; dd/mm/yyyy and HH:MM:SS where the
// user has no regional forms (the C or POSIX locale).
std::string shortDate();
std::string shortTime();

// Root of the quick scan: the Windows folder, "/usr" on Linux.
std::string windowsFolder();

// The drives of the computer: on Linux the mount points of local and network file systems.
std::vector<std::string> drives();

// Platform identifier: 1 for the Windows 95 family, 2 for systems that support the monitor.
std::uint16_t platformId();

// ---- Processes ------------------------------------------------------------------------

struct ProcessInfo {
  std::uint32_t processId = 0;
  std::string imagePath;        // full path of the executable image, never empty
  std::uint64_t startTime = 0;  // start time in the system's own units; tells a reused identifier apart
};

// Running processes, ascending by identifier. Processes whose image cannot be read are left out;
// kernel threads are never listed.
std::vector<ProcessInfo> listProcesses();

// One process as listProcesses would show it; nullopt when it is gone or cannot be read.
std::optional<ProcessInfo> processInfo(std::uint32_t processId);

std::uint32_t currentProcessId();

struct ThreadInfo {
  std::uint32_t threadId = 0;
  std::uint32_t ownerProcessId = 0;
};

// Every thread of the machine the program can see.
std::vector<ThreadInfo> threadSnapshot();

// Suspends one thread (on Linux the whole process stops). Unchecked: it acts on whatever process
// the identifiers name at the moment of the call; to act on a process that was judged, open a
// ProcessHandle and suspend through it.
Status suspendThread(std::uint32_t ownerProcessId, std::uint32_t threadId);

// A process held by its identity, so that a signal reaches exactly the process that was judged
// and never a later one given the same identifier. Opening checks that the identifier still
// names that process (same start time and image path). On Linux the handle is a pidfd, opened
// before that check and signalled through; where the system has no pidfds, the start time and
// image are checked again right before each signal. On Windows the process is opened once: the
// open handle keeps its identifier from being given to another process. Move-only.
class ProcessHandle {
 public:
  ProcessHandle() = default;
  ProcessHandle(ProcessHandle&& other) noexcept;
  ProcessHandle& operator=(ProcessHandle&& other) noexcept;

  // Opens the process `judged` names; not valid when it has ended or is now another process.
  // `failure`, when given, then receives the system's reason (a process that ended or was
  // replaced reads as "No such process" on POSIX, "The process terminated unexpectedly" on
  // Windows, where an identifier that names no process at all gives the system's own error).
  static ProcessHandle open(const ProcessInfo& judged, Status* failure = nullptr);

  bool valid() const { return m_open; }
  std::uint32_t processId() const { return m_judged.processId; }

  // Suspends the thread `threadId` of this process; on Linux the whole process stops, whichever of
  // its threads is named. False when the process has ended, when the thread is not one of its own
  // (Windows, and Linux without pidfds), or when the system refuses.
  Status suspendThread(std::uint32_t threadId) const;
  // Lets the thread `threadId` of this process run again, however many times it was suspended;
  // on Linux the whole process continues. False as for suspendThread.
  Status resumeThread(std::uint32_t threadId) const;

 private:
  ProcessHandle(SystemHandle handle, ProcessInfo judged)
      : m_handle(std::move(handle)), m_open(true), m_judged(std::move(judged)) {}

  SystemHandle m_handle;  // pidfd, or HANDLE on Windows; none on Linux without pidfds
  bool m_open = false;
  ProcessInfo m_judged;
};

// Ends a process at once (a suspended one too).
Status terminateProcess(std::uint32_t processId);

// ---- Locks and other programs -------------------------------------------------------------

// An exclusive lock on a file, held until the object goes (or the process ends, however it
// ends). Move-only. Two holders of the same file never coexist, whether in one process or two.
class FileLock {
 public:
  FileLock() = default;

  // Takes the lock on `path` (the file is created when missing, never through a symbolic link)
  // without waiting: a lock that is not held when someone else has it or the file cannot be made.
  static FileLock tryTake(const std::string& path);

  bool held() const { return m_handle.valid(); }
  // Why the lock is not held: the system's reason when the file could not be made or locked
  // (someone else holding it reads as the system's "would block" or sharing violation).
  const Status& status() const { return m_status; }

 private:
  explicit FileLock(SystemHandle handle) : m_handle(std::move(handle)) {}
  explicit FileLock(Status failure) : m_status(std::move(failure)) {}

  SystemHandle m_handle;
  Status m_status;
};

// Starts the program `path` with `arguments`, detached from this one (it outlives it and is
// never left as a zombie). False when it could not be started.
Status startProgram(const std::string& path, const std::vector<std::string>& arguments);

// Runs the program `path` in place of this one, its words `arguments` (the first is the name it is
// given, as argv[0]), with this one's standard streams, working folder and environment: whoever
// waits for this process gets that program's exit status. POSIX replaces the process (exec);
// Windows, which cannot, starts the program, waits for it and ends this process with its status.
// Returns only when the program could not be started, with the system's reason.
Status replaceProgram(const std::string& path, const std::vector<std::string>& arguments);

// Brings the top-level windows of the process `processId` to the front. False when there is no
// reliable way to do it (Linux: only the display server can, and it is asked by its own protocol)
// or the process has no window.
bool raiseWindowsOf(std::uint32_t processId);

// ---- Start-up entry and per-user folders -----------------------------------------------

enum class RegistryRoot : std::uint32_t { CurrentUser = 0x80000001u, LocalMachine = 0x80000002u };

// Writes or removes one value of the Run key. On Linux the value of the machine-wide Run key is an
// XDG autostart entry "<autostartFolder>/<valueName>.desktop" whose Exec line runs `data`; other
// keys have no effect there. Windows uses the registry and ignores `autostartFolder`; there the
// value is `data` in double quotes, the program as one argument (a `data` holding a quote is refused).
Status setRunValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName, const std::string& data,
                   const std::string& autostartFolder);
Status deleteRunValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                      const std::string& autostartFolder);

// The user's own start-up entry, for when the machine-wide one cannot be written. On Linux the
// entry "<userFolder>/<valueName>.desktop" (the folder made when missing), which takes the place
// of a machine-wide entry of the same name for this user; on Windows the value of the current
// user's Run key (`userFolder` is ignored). Removing an absent entry succeeds.
Status setUserRunValue(const std::string& valueName, const std::string& data, const std::string& userFolder);
Status deleteUserRunValue(const std::string& valueName, const std::string& userFolder);
// Switches the machine-wide entry `valueName` off for this user alone: on Linux a user entry of
// that name with Hidden=true. Windows has no such switch (kNotSupported).
Status hideRunValue(const std::string& valueName, const std::string& userFolder);

// Where the start-up entry and the per-user settings live by default.
std::string defaultAutostartFolder();      // first folder of $XDG_CONFIG_DIRS (default /etc/xdg) + "/autostart"
std::string defaultUserAutostartFolder();  // $XDG_CONFIG_HOME (default ~/.config) + "/autostart"; Windows: empty
std::string defaultSettingsFile();         // $XDG_CONFIG_HOME (default ~/.config) + "/orvento-halvik/settings.ini"
// Where an installed copy keeps the files it writes: $XDG_DATA_HOME (default ~/.local/share)
// + "/orvento-halvik"; on Windows the user's local application data + "\Orvento Halvik".
std::string defaultDataFolder();
// Where signature updates made for every user are kept: /var/lib/orvento-halvik/signatures; on
// Windows the common application data (%ProgramData%) + "\Orvento Halvik\Signatures".
std::string defaultMachineSignaturesFolder();
// The user's folder for locks of the running session: $XDG_RUNTIME_DIR (a private folder of the
// user) when it is set; the settings file's folder otherwise. On Windows %LOCALAPPDATA%, or the
// temporary folder when that is not set.
std::string defaultRuntimeFolder();
// On Windows the start-up entry needs no folder (empty text) and the settings store is the
// registry key "Software\VB and VBA Program Settings" of HKEY_CURRENT_USER.

}  // namespace halvik::platform
