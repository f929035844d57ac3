// Folder watches on Linux: fanotify with directory handles and names for whole file systems,
// inotify for single folders. Both descriptors are read without blocking after a poll that
// also waits on an eventfd, so that wake() ends a wait from another thread or a signal handler.
#include "platform/FolderWatch.h"

#include "platform/posix/Handle.h"
#include "platform/posix/MountTable.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/fanotify.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace halvik::platform {

const std::uint32_t kWatchLimitReached = ENOSPC;

struct FolderWatch::State {
  posix::Handle watch;
  posix::Handle wake;
  std::map<std::uint64_t, posix::Handle> fileSystems;  // fanotify: an open folder of each marked file system
  std::size_t folderWatches = 0;
  std::vector<char> buffer = std::vector<char>(256 * 1024);
};

namespace {
std::optional<std::size_t> g_refuseBeyond;

constexpr std::uint32_t kInotifyMask = IN_CREATE | IN_MOVED_TO | IN_ONLYDIR | IN_DONT_FOLLOW;
constexpr std::uint64_t kFanotifyMask = FAN_CREATE | FAN_MOVED_TO | FAN_ONDIR;

void setFailure(Status* failure, Status status) {
  if (failure) *failure = std::move(status);
}

std::uint64_t fsidKey(const __kernel_fsid_t& fsid) {
  std::uint64_t key = 0;
  static_assert(sizeof key == sizeof fsid);
  std::memcpy(&key, &fsid, sizeof key);
  return key;
}

// The file-system identity of the open folder `fd` as fanotify reports it.
std::optional<std::uint64_t> fileSystemOf(int fd) {
  struct statfs status;
  if (fstatfs(fd, &status) != 0) return std::nullopt;
  __kernel_fsid_t fsid;
  std::memcpy(&fsid, &status.f_fsid, sizeof fsid);
  return fsidKey(fsid);
}

// Waits for the watch or the wake descriptor; true when the wake one fired (it is then reset).
bool waitFor(const posix::Handle& watch, const posix::Handle& wake, std::chrono::milliseconds timeout) {
  std::array<pollfd, 2> fds{{{watch.get(), POLLIN, 0}, {wake.get(), POLLIN, 0}}};
  if (poll(fds.data(), fds.size(), static_cast<int>(timeout.count())) <= 0) return false;
  if (!(fds[1].revents & POLLIN)) return false;
  std::uint64_t count = 0;
  [[maybe_unused]] const auto got = ::read(wake.get(), &count, sizeof count);
  return true;
}

void readInotify(FolderWatch::State& state, FolderEvents& result, std::vector<std::int64_t>* removed) {
  for (;;) {
    const ssize_t length = ::read(state.watch.get(), state.buffer.data(), state.buffer.size());
    if (length <= 0) {
      result.failed = length == 0 || (errno != EAGAIN && errno != EINTR);
      return;
    }
    for (ssize_t at = 0; at < length;) {
      inotify_event event;
      std::memcpy(&event, state.buffer.data() + at, sizeof event);
      const char* name = state.buffer.data() + at + sizeof event;
      at += static_cast<ssize_t>(sizeof event + event.len);
      if (event.mask & IN_Q_OVERFLOW) result.overflow = true;
      if (event.mask & IN_IGNORED) {
        if (state.folderWatches > 0) --state.folderWatches;
        if (removed) removed->push_back(event.wd);
      }
      if ((event.mask & (IN_CREATE | IN_MOVED_TO)) && event.len > 0)
        result.events.push_back({event.wd, {}, std::string(name), (event.mask & IN_ISDIR) != 0});
    }
  }
}

// The folder handle and name of one fanotify event's DFID_NAME record.
void addFanotifyEvent(const fanotify_event_metadata& meta, const char* record, FolderEvents& result) {
  fanotify_event_info_fid info;
  std::memcpy(&info, record, sizeof info);
  if (info.hdr.info_type != FAN_EVENT_INFO_TYPE_DFID_NAME) return;
  const char* handle = record + sizeof info;
  file_handle header;
  std::memcpy(&header, handle, sizeof header);
  const std::size_t handleLength = sizeof header + header.handle_bytes;
  std::string folder(reinterpret_cast<const char*>(&info.fsid), sizeof info.fsid);
  folder.append(handle, handleLength);
  result.events.push_back({-1, std::move(folder), std::string(handle + handleLength), (meta.mask & FAN_ONDIR) != 0});
}

void readFanotify(FolderWatch::State& state, FolderEvents& result) {
  for (;;) {
    const ssize_t length = ::read(state.watch.get(), state.buffer.data(), state.buffer.size());
    if (length <= 0) {
      result.failed = length == 0 || (errno != EAGAIN && errno != EINTR);
      return;
    }
    for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(fanotify_event_metadata)) <= length;) {
      fanotify_event_metadata meta;
      std::memcpy(&meta, state.buffer.data() + at, sizeof meta);
      if (meta.event_len < sizeof meta) break;
      if (meta.mask & FAN_Q_OVERFLOW) result.overflow = true;
      if ((meta.mask & (FAN_CREATE | FAN_MOVED_TO)) && meta.event_len > meta.metadata_len)
        addFanotifyEvent(meta, state.buffer.data() + at + meta.metadata_len, result);
      if (meta.fd >= 0) close(meta.fd);
      at += meta.event_len;
    }
  }
}
}  // namespace

std::uint64_t entryBirth(const std::string& path) {
  struct statx status;
  if (statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BTIME, &status) != 0 || !(status.stx_mask & STATX_BTIME))
    return 0;
  return static_cast<std::uint64_t>(status.stx_btime.tv_sec) * 1000000000u + status.stx_btime.tv_nsec;
}

std::vector<std::string> watchableFileSystems() {
  std::vector<std::string> points;
  FolderWatch probe = FolderWatch::openFileSystems();
  if (!probe.valid()) return points;
  for (std::string& point : posix::localFileSystemMountPoints(posix::readMountTable()))
    if (probe.add(point)) points.push_back(std::move(point));
  return points;
}

FolderWatch::FolderWatch() = default;
FolderWatch::FolderWatch(Kind kind, std::unique_ptr<State> state) : m_kind(kind), m_state(std::move(state)) {}
FolderWatch::FolderWatch(FolderWatch&&) noexcept = default;
FolderWatch& FolderWatch::operator=(FolderWatch&&) noexcept = default;
FolderWatch::~FolderWatch() = default;

FolderWatch FolderWatch::openFileSystems(Status* failure) {
  auto state = std::make_unique<State>();
  state->watch = posix::Handle(
      fanotify_init(FAN_CLASS_NOTIF | FAN_REPORT_DFID_NAME | FAN_UNLIMITED_QUEUE | FAN_CLOEXEC | FAN_NONBLOCK,
                    O_RDONLY | O_CLOEXEC));
  if (!state->watch.ok()) {
    setFailure(failure, Status::lastError());
    return {};
  }
  state->wake = posix::Handle(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  if (!state->wake.ok()) {
    setFailure(failure, Status::lastError());
    return {};
  }
  return FolderWatch(Kind::FileSystems, std::move(state));
}

FolderWatch FolderWatch::openFolders(Status* failure) {
  auto state = std::make_unique<State>();
  state->watch = posix::Handle(inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  state->wake = posix::Handle(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  if (!state->watch.ok() || !state->wake.ok()) {
    setFailure(failure, Status::lastError());
    return {};
  }
  return FolderWatch(Kind::Folders, std::move(state));
}

std::optional<std::int64_t> FolderWatch::add(const std::string& path, Status* failure) {
  if (m_kind == Kind::Folders) {
    if (g_refuseBeyond && m_state->folderWatches >= *g_refuseBeyond) {
      setFailure(failure, Status::failure(kWatchLimitReached));
      return std::nullopt;
    }
    const int watch = inotify_add_watch(m_state->watch.get(), path.c_str(), kInotifyMask);
    if (watch < 0) {
      setFailure(failure, Status::lastError());
      return std::nullopt;
    }
    ++m_state->folderWatches;
    return watch;
  }
  if (m_kind != Kind::FileSystems) return std::nullopt;
  posix::Handle folder(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW));
  const auto fileSystem = folder.ok() ? fileSystemOf(folder.get()) : std::nullopt;
  if (!fileSystem || fanotify_mark(m_state->watch.get(), FAN_MARK_ADD | FAN_MARK_FILESYSTEM, kFanotifyMask,
                                   folder.get(), nullptr) != 0) {
    setFailure(failure, Status::lastError());
    return std::nullopt;
  }
  m_state->fileSystems.try_emplace(*fileSystem, std::move(folder));
  return -1;
}

void FolderWatch::remove(std::int64_t watch) {
  if (m_kind == Kind::Folders && inotify_rm_watch(m_state->watch.get(), static_cast<int>(watch)) == 0 &&
      m_state->folderWatches > 0)
    --m_state->folderWatches;
}

FolderEvents FolderWatch::read(std::chrono::milliseconds timeout, std::vector<std::int64_t>* removed) {
  FolderEvents result;
  if (!valid()) {
    result.failed = true;
    return result;
  }
  result.woken = waitFor(m_state->watch, m_state->wake, timeout);
  if (m_kind == Kind::Folders)
    readInotify(*m_state, result, removed);
  else
    readFanotify(*m_state, result);
  return result;
}

void FolderWatch::wake() const {
  if (!valid()) return;
  const std::uint64_t one = 1;
  [[maybe_unused]] const auto written = ::write(m_state->wake.get(), &one, sizeof one);
}

std::optional<std::string> FolderWatch::folderPathOf(const FolderEvent& event) const {
  __kernel_fsid_t fsid;
  if (m_kind != Kind::FileSystems || event.folder.size() < sizeof fsid + sizeof(file_handle)) return std::nullopt;
  std::memcpy(&fsid, event.folder.data(), sizeof fsid);
  const auto mount = m_state->fileSystems.find(fsidKey(fsid));
  if (mount == m_state->fileSystems.end()) return std::nullopt;
  // file_handle ends in a flexible array: copy it into storage of the right alignment.
  std::vector<std::uint64_t> storage((event.folder.size() - sizeof fsid) / sizeof(std::uint64_t) + 1);
  std::memcpy(storage.data(), event.folder.data() + sizeof fsid, event.folder.size() - sizeof fsid);
  const posix::Handle folder(open_by_handle_at(mount->second.get(), reinterpret_cast<file_handle*>(storage.data()),
                                               O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!folder.ok()) return std::nullopt;
  std::array<char, 4096> path{};
  const std::string link = "/proc/self/fd/" + std::to_string(folder.get());
  const ssize_t length = readlink(link.c_str(), path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= path.size() || path[0] != '/') return std::nullopt;
  return std::string(path.data(), static_cast<std::size_t>(length));
}

std::optional<std::uint64_t> FolderWatch::folderWatchLimit() {
  std::ifstream limit("/proc/sys/fs/inotify/max_user_watches");
  std::uint64_t value = 0;
  if (!(limit >> value)) return std::nullopt;
  return value;
}

void FolderWatch::refuseWatchesBeyondForTesting(std::optional<std::size_t> count) { g_refuseBeyond = count; }

}  // namespace halvik::platform
