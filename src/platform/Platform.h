#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The operating system behind the program: files and folders, dates, processes and the
// start-up entry. One backend per system (posix/, win32/), chosen by the build. Paths and
// names are byte strings in the system's 8-bit encoding and are never re-encoded here.
// Nothing in this layer throws; every operation reports failure through its result.
namespace platform {

#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

// Attribute bits of a folder entry, with the values of the Windows file attributes.
enum Attribute : std::uint32_t {
  kReadOnly = 1,
  kHidden = 2,
  kSystem = 4,
  kFolder = 16,
  kArchive = 32,
  kReparsePoint = 1024,  // a symbolic link; never entered as a folder
};

// ---- Files and folders -------------------------------------------------------------

// Folder that holds the running executable, without a trailing separator ("/" stays "/").
std::string programFolder();

struct DirEntry {
  std::string name;
  std::uint32_t attributes = 0;
};

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

// True when `name` matches the wildcard `pattern` under the rules of listFolder.
bool matchesPattern(const std::string& name, const std::string& pattern);

// Attribute bits of the entry `path` names (a final symbolic link is not followed).
std::optional<std::uint32_t> fileAttributes(const std::string& path);

// Length in bytes of whatever `path` names (a link's own length); nullopt when it does not exist.
std::optional<std::uint64_t> fileLength(const std::string& path);

struct CopyOptions {
  bool replace = true;     // false: fail when the destination exists (never overwrite)
  bool ownerOnly = false;  // true: the copy is readable and writable by its owner only, never executable
};

// Copies the bytes of `source` to `destination`. The copy is written under a temporary name
// beside the destination, flushed and renamed into place, so a failure leaves no partial file.
bool copyFile(const std::string& source, const std::string& destination, CopyOptions options = {});

// Removes one file or symbolic link by its exact path; never a folder, never recursively.
bool deleteFile(const std::string& path);

// Creates one folder level. True when the folder exists afterwards.
bool createFolder(const std::string& path);

// Appends `line` followed by CR LF to the file `path` (created when missing), in one write.
bool appendLine(const std::string& path, const std::string& line);

// ---- Walking a folder tree ---------------------------------------------------------------

// Identity of a folder on its file system (device and file number on POSIX).
struct FolderId {
  std::uint64_t device = 0;
  std::uint64_t file = 0;
  bool operator==(const FolderId&) const = default;
};

// A folder held open, so that what lies inside it is reached relative to it: a walk goes as
// deep as the tree does, whatever the length of its paths, and a subfolder replaced by a link
// while the walk runs is never followed. Move-only; the handle is released with the object.
class FolderHandle {
 public:
  FolderHandle() = default;
  ~FolderHandle();
  FolderHandle(FolderHandle&& other) noexcept;
  FolderHandle& operator=(FolderHandle&& other) noexcept;
  FolderHandle(const FolderHandle&) = delete;
  FolderHandle& operator=(const FolderHandle&) = delete;

  // Opens the folder `path` names; links along the path, the last one included, are followed.
  static FolderHandle open(const std::string& path);

  // Opens the subfolder `name` of this folder. Never through a symbolic link, and never onto
  // another file system (a mount point below this folder is not opened: `otherFileSystem`, when
  // given, then tells that this, not a failure to open, is why no folder came back).
  FolderHandle openChild(const std::string& name, bool* otherFileSystem = nullptr) const;

  // Opens the folder that holds this one, provided it is still the folder `expected`.
  FolderHandle openParent(const FolderId& expected) const;

  bool valid() const { return m_handle >= 0; }
  const FolderId& id() const { return m_id; }

  // The entries matching `pattern`, under the rules of listFolder, in the order the system
  // lists them, "." and ".." left out. Unlike listFolder the read-only bit is never set (it
  // would cost a look at every entry): attributesOf gives an entry's full set.
  std::optional<std::vector<DirEntry>> list(const std::string& pattern, std::uint32_t includeMask) const;

  // Attribute bits of the entry `name` of this folder, as fileAttributes gives them.
  std::optional<std::uint32_t> attributesOf(const std::string& name) const;

 private:
  FolderHandle(std::int64_t handle, FolderId id) : m_handle(handle), m_id(id) {}

  std::int64_t m_handle = -1;
  FolderId m_id;
};

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

// Suspends one thread (on Linux the whole process stops).
bool suspendThread(std::uint32_t ownerProcessId, std::uint32_t threadId);

// Ends a process at once (a suspended one too).
bool terminateProcess(std::uint32_t processId);

// ---- Locks and other programs -------------------------------------------------------------

// An exclusive lock on a file, held until the object goes (or the process ends, however it
// ends). Move-only. Two holders of the same file never coexist, whether in one process or two.
class FileLock {
 public:
  FileLock() = default;
  ~FileLock();
  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Takes the lock on `path` (the file is created when missing, never through a symbolic link)
  // without waiting: a lock that is not held when someone else has it or the file cannot be made.
  static FileLock tryTake(const std::string& path);

  bool held() const { return m_handle >= 0; }

 private:
  explicit FileLock(std::int64_t handle) : m_handle(handle) {}

  std::int64_t m_handle = -1;
};

// Starts the program `path` with `arguments`, detached from this one (it outlives it and is
// never left as a zombie). False when it could not be started.
bool startProgram(const std::string& path, const std::vector<std::string>& arguments);

// Brings the top-level windows of the process `processId` to the front. False when there is no
// reliable way to do it (Linux: only the display server can, and it is asked by its own protocol)
// or the process has no window.
bool raiseWindowsOf(std::uint32_t processId);

// ---- Start-up entry and per-user folders -----------------------------------------------

enum class RegistryRoot : std::uint32_t { CurrentUser = 0x80000001u, LocalMachine = 0x80000002u };

// Writes or removes one value of the Run key. On Linux the value of the machine-wide Run key is an
// XDG autostart entry "<autostartFolder>/<valueName>.desktop" whose Exec line runs `data`; other
// keys have no effect there. Windows uses the registry and ignores `autostartFolder`.
bool setRunValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                 const std::string& data, const std::string& autostartFolder);
bool deleteRunValue(RegistryRoot root, const std::string& keyPath, const std::string& valueName,
                    const std::string& autostartFolder);

// Where the start-up entry and the per-user settings live by default.
std::string defaultAutostartFolder();  // first folder of $XDG_CONFIG_DIRS (default /etc/xdg) + "/autostart"
std::string defaultSettingsFile();     // $XDG_CONFIG_HOME (default ~/.config) + "/orvento-halvik/settings.ini"
// The user's folder for locks of the running session: $XDG_RUNTIME_DIR (a private folder of the
// user) when it is set; the settings file's folder otherwise. On Windows %LOCALAPPDATA%, or the
// temporary folder when that is not set.
std::string defaultRuntimeFolder();
// On Windows the start-up entry needs no folder (empty text) and the settings store is the
// registry key "Software\VB and VBA Program Settings" of HKEY_CURRENT_USER.

}  // namespace platform
