#include "platform/Platform.h"
#include "platform/posix/Handle.h"
#include "platform/posix/Pidfd.h"
#include "platform/posix/ProcStat.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <climits>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/syscall.h>
#include <unistd.h>
#include <unordered_map>
#include <utility>

namespace halvik::platform {

namespace {

constexpr std::string_view kDeletedSuffix = " (deleted)";

bool isDecimal(const char* name) {
  if (*name == '\0') return false;
  for (; *name; ++name)
    if (*name < '0' || *name > '9') return false;
  return true;
}

// Identifiers that fit the system's signed pid_t; anything else (0 included) names no single process.
bool isProcessId(std::uint32_t id) { return id > 0 && id <= static_cast<std::uint32_t>(INT_MAX); }

std::string procPath(std::uint32_t processId, const char* leaf) {
  return "/proc/" + std::to_string(processId) + "/" + leaf;
}

// Target of a symbolic link, whatever its length; empty when it cannot be read.
std::string readLink(const std::string& path) {
  std::string target(256, '\0');
  for (;;) {
    const ssize_t length = readlink(path.c_str(), target.data(), target.size());
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < target.size()) {
      target.resize(static_cast<std::size_t>(length));
      return target;
    }
    target.resize(target.size() * 2);
  }
}

// The whole content of a small /proc file; empty when it cannot be read.
std::string readSmallFile(const std::string& path) {
  const posix::Handle fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.ok()) return {};
  std::string content;
  std::array<char, 1024> chunk;
  for (;;) {
    const ssize_t got = read(fd.get(), chunk.data(), chunk.size());
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    content.append(chunk.data(), static_cast<std::size_t>(got));
  }
  return content;
}

// An entry of a /proc folder named by a process or thread identifier, with its inode number.
// The number tells one /proc/<pid> folder from a later one of the same name: a process that ends
// takes its folder with it, and the next process given that identifier gets a new inode.
struct IdEntry {
  std::uint32_t id = 0;
  std::uint64_t inode = 0;
};

// The decimal entries of a /proc folder (processes, or the threads of one process), ascending.
std::vector<IdEntry> numericEntries(const std::string& folder) {
  std::vector<IdEntry> ids;
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (!dir) return ids;
  while (const dirent* entry = readdir(dir.get())) {
    if (!isDecimal(entry->d_name)) continue;
    const std::string_view name(entry->d_name);
    std::uint32_t id = 0;
    const auto [next, error] = std::from_chars(name.data(), name.data() + name.size(), id);
    if (error == std::errc() && next == name.data() + name.size()) ids.push_back(IdEntry{id, entry->d_ino});
  }
  std::sort(ids.begin(), ids.end(), [](const IdEntry& a, const IdEntry& b) { return a.id < b.id; });
  return ids;
}

// The image path of a process with a trailing " (deleted)" removed, so that a program that
// deleted its own file is still known by name; empty when the link cannot be read.
std::string imageOf(std::uint32_t processId) {
  std::string image = readLink(procPath(processId, "exe"));
  if (image.ends_with(kDeletedSuffix)) image.resize(image.size() - kDeletedSuffix.size());
  return image;
}

// The stat fields of a process that is not a kernel thread.
std::optional<procstat::StatFields> userProcessStat(std::uint32_t processId) {
  const auto stat = procstat::parse(readSmallFile(procPath(processId, "stat")));
  if (!stat || (stat->flags & procstat::kKernelThreadFlag)) return std::nullopt;
  return stat;
}

// A process seen by the last listing: its folder's inode number and its start time.
struct KnownProcess {
  std::uint64_t inode = 0;
  std::uint64_t startTime = 0;
};

// True while the identifier of `judged` still names that process: same start time and image path.
bool stillNames(const ProcessInfo& judged) {
  const auto now = processInfo(judged.processId);
  return now && now->startTime == judged.startTime && now->imagePath == judged.imagePath;
}

}  // namespace

std::uint16_t platformId() { return 2; }

std::uint32_t currentProcessId() { return static_cast<std::uint32_t>(getpid()); }

std::optional<ProcessInfo> processInfo(std::uint32_t processId) {
  // The link first: it is what most often cannot be read (kernel threads, other users' processes).
  std::string image = imageOf(processId);
  if (image.empty()) return std::nullopt;
  const auto stat = userProcessStat(processId);
  if (!stat) return std::nullopt;
  return ProcessInfo{processId, std::move(image), stat->startTime};
}

std::vector<ProcessInfo> listProcesses() {
  // Reading every stat file would cost the listing about three times what the links cost. The
  // start time of a process never changes, so it is kept from one listing to the next for as long
  // as /proc/<pid> is the same folder (same inode number). A caller about to act on a listed
  // process compares with processInfo, which always reads afresh.
  static std::unordered_map<std::uint32_t, KnownProcess> known;
  std::unordered_map<std::uint32_t, KnownProcess> seen;
  std::vector<ProcessInfo> processes;
  for (const IdEntry& entry : numericEntries("/proc")) {
    std::string image = imageOf(entry.id);
    if (image.empty()) continue;
    std::uint64_t startTime = 0;
    if (const auto it = known.find(entry.id); it != known.end() && it->second.inode == entry.inode) {
      startTime = it->second.startTime;
    } else if (const auto stat = userProcessStat(entry.id)) {
      startTime = stat->startTime;
    } else {
      continue;
    }
    seen.emplace(entry.id, KnownProcess{entry.inode, startTime});
    processes.push_back(ProcessInfo{entry.id, std::move(image), startTime});
  }
  known = std::move(seen);
  return processes;
}

std::vector<ThreadInfo> threadSnapshot() {
  std::vector<ThreadInfo> threads;
  for (const IdEntry& owner : numericEntries("/proc"))
    for (const IdEntry& thread : numericEntries(procPath(owner.id, "task")))
      threads.push_back(ThreadInfo{thread.id, owner.id});
  return threads;
}

Status suspendThread(std::uint32_t ownerProcessId, std::uint32_t threadId) {
  if (!isProcessId(ownerProcessId) || !isProcessId(threadId)) return Status::failure(kNoSuchProcess);
  if (syscall(SYS_tgkill, static_cast<pid_t>(ownerProcessId), static_cast<pid_t>(threadId), SIGSTOP) != 0)
    return Status::lastError();
  return {};
}

Status terminateProcess(std::uint32_t processId) {
  // kill() with 0 or a negative number would signal a whole process group, or every process.
  if (!isProcessId(processId)) return Status::failure(kNoSuchProcess);
  return kill(static_cast<pid_t>(processId), SIGKILL) == 0 ? Status() : Status::lastError();
}

ProcessHandle ProcessHandle::open(const ProcessInfo& judged, Status* failure) {
  const auto fail = [failure](Status reason) {
    if (failure) *failure = std::move(reason);
    return ProcessHandle();
  };
  if (!isProcessId(judged.processId)) return fail(Status::failure(kNoSuchProcess));
  // The pidfd first, then the check: a pidfd names the process that held the identifier when it
  // was opened, so once the check finds the judged process there, the pidfd is that process.
  const int pidfd = posix::pidfdOpen(static_cast<pid_t>(judged.processId));
  if (pidfd < 0 && !posix::pidfdsMissing(errno)) return fail(Status::lastError());
  ProcessHandle handle(posix::Handle(pidfd), judged);
  if (!stillNames(judged)) return fail(Status::failure(kNoSuchProcess));
  return handle;
}

// A process that ended, or whose identifier names another process now, reads as "No such process".
Status ProcessHandle::suspendThread(std::uint32_t threadId) const {
  if (!m_open) return Status::failure(kNoSuchProcess);
  // Through the pidfd the stop reaches the process itself, which stops all its threads. Once the
  // process has ended nothing is stopped, even if its identifier names another process by then:
  // the call fails, or, while the ended process waits for its parent, succeeds without effect.
  if (m_handle.valid()) {
    const int pidfd = posix::descriptorOf(m_handle);
    if (!posix::pidfdSendSignal(pidfd, SIGSTOP)) return Status::lastError();
    return posix::pidfdEnded(pidfd) ? Status::failure(kNoSuchProcess) : Status();
  }
  // Without pidfds the identifier is checked again right before the signal.
  if (!stillNames(m_judged)) return Status::failure(kNoSuchProcess);
  return platform::suspendThread(m_judged.processId, threadId);
}

// A continue reaches the whole process, whichever thread is named, as a stop does.
Status ProcessHandle::resumeThread(std::uint32_t /*threadId*/) const {
  if (!m_open) return Status::failure(kNoSuchProcess);
  if (m_handle.valid()) {
    const int pidfd = posix::descriptorOf(m_handle);
    if (!posix::pidfdSendSignal(pidfd, SIGCONT)) return Status::lastError();
    return posix::pidfdEnded(pidfd) ? Status::failure(kNoSuchProcess) : Status();
  }
  if (!stillNames(m_judged)) return Status::failure(kNoSuchProcess);
  return ::kill(static_cast<pid_t>(m_judged.processId), SIGCONT) == 0 ? Status() : Status::lastError();
}

}  // namespace halvik::platform
