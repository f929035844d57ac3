// Folder watches on Windows: one ReadDirectoryChangesW per tree, recursive, read through
// overlapped I/O so that one wait covers every tree and the wake event. A completion without
// data means the system's buffer overflowed. Names come back in the ANSI code page, as with the
// A functions. Windows has no file-system watch of the fanotify kind.
#include "platform/FolderWatch.h"

#include "platform/win32/Handle.h"

#include <map>

namespace halvik::platform {

const std::uint32_t kWatchLimitReached = ERROR_NOT_ENOUGH_QUOTA;

namespace {
std::optional<std::size_t> g_refuseBeyond;

constexpr DWORD kFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME;
constexpr DWORD kBufferBytes = 64 * 1024;  // the most a watch of a network folder may ask for

struct Tree {
  win32::Handle folder;
  win32::Handle done;
  OVERLAPPED overlapped{};
  std::vector<DWORD> buffer = std::vector<DWORD>(kBufferBytes / sizeof(DWORD));
};

bool startRead(Tree& tree) {
  tree.overlapped = OVERLAPPED{};
  tree.overlapped.hEvent = tree.done.get();
  return ReadDirectoryChangesW(tree.folder.get(), tree.buffer.data(), kBufferBytes, TRUE, kFilter, nullptr,
                               &tree.overlapped, nullptr) != 0;
}

std::string narrowed(const wchar_t* text, int length) {
  const int bytes = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) WideCharToMultiByte(CP_ACP, 0, text, length, result.data(), bytes, nullptr, nullptr);
  return result;
}

// The entries added or renamed into place in one completed read of `tree`.
void collect(std::int64_t watch, const Tree& tree, DWORD bytes, FolderEvents& result) {
  if (bytes == 0) {
    result.overflow = true;
    return;
  }
  const char* at = reinterpret_cast<const char*>(tree.buffer.data());
  for (;;) {
    const auto* info = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(at);
    if (info->Action == FILE_ACTION_ADDED || info->Action == FILE_ACTION_RENAMED_NEW_NAME) {
      const std::string path = narrowed(info->FileName, static_cast<int>(info->FileNameLength / sizeof(wchar_t)));
      const auto separator = path.rfind('\\');
      if (separator == std::string::npos)
        result.events.push_back({watch, {}, path, false});
      else
        result.events.push_back({watch, path.substr(0, separator), path.substr(separator + 1), false});
    }
    if (info->NextEntryOffset == 0) return;
    at += info->NextEntryOffset;
  }
}
}  // namespace

struct FolderWatch::State {
  win32::Handle wake;
  std::map<std::int64_t, std::unique_ptr<Tree>> trees;
  std::int64_t nextWatch = 1;
};

std::uint64_t entryBirth(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<std::uint64_t>(data.ftCreationTime.dwHighDateTime) << 32) | data.ftCreationTime.dwLowDateTime;
}

// Windows grants no watch of whole file systems.
std::vector<std::string> watchableFileSystems() { return {}; }

FolderWatch::FolderWatch() = default;
FolderWatch::FolderWatch(Kind kind, std::unique_ptr<State> state) : m_kind(kind), m_state(std::move(state)) {}
FolderWatch::FolderWatch(FolderWatch&&) noexcept = default;
FolderWatch& FolderWatch::operator=(FolderWatch&&) noexcept = default;

FolderWatch::~FolderWatch() {
  if (!m_state) return;
  for (auto& [watch, tree] : m_state->trees) {
    CancelIoEx(tree->folder.get(), &tree->overlapped);
    DWORD bytes = 0;
    GetOverlappedResult(tree->folder.get(), &tree->overlapped, &bytes, TRUE);
  }
}

FolderWatch FolderWatch::openFileSystems(Status* failure) {
  if (failure) *failure = Status::failure(ERROR_NOT_SUPPORTED);
  return {};
}

FolderWatch FolderWatch::openFolders(Status* failure) {
  auto state = std::make_unique<State>();
  state->wake = win32::Handle(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  if (!state->wake) {
    if (failure) *failure = Status::lastError();
    return {};
  }
  return FolderWatch(Kind::Trees, std::move(state));
}

std::optional<std::int64_t> FolderWatch::add(const std::string& path, Status* failure) {
  if (!valid()) return std::nullopt;
  if (g_refuseBeyond && m_state->trees.size() >= *g_refuseBeyond) {
    if (failure) *failure = Status::failure(kWatchLimitReached);
    return std::nullopt;
  }
  auto tree = std::make_unique<Tree>();
  tree->folder = win32::Handle(CreateFileA(path.c_str(), FILE_LIST_DIRECTORY,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
  tree->done = win32::Handle(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!tree->folder || !tree->done || !startRead(*tree)) {
    if (failure) *failure = Status::lastError();
    return std::nullopt;
  }
  const std::int64_t watch = m_state->nextWatch++;
  m_state->trees.emplace(watch, std::move(tree));
  return watch;
}

void FolderWatch::remove(std::int64_t watch) {
  if (!valid()) return;
  const auto found = m_state->trees.find(watch);
  if (found == m_state->trees.end()) return;
  CancelIoEx(found->second->folder.get(), &found->second->overlapped);
  DWORD bytes = 0;
  GetOverlappedResult(found->second->folder.get(), &found->second->overlapped, &bytes, TRUE);
  m_state->trees.erase(found);
}

FolderEvents FolderWatch::read(std::chrono::milliseconds timeout, std::vector<std::int64_t>* removed) {
  FolderEvents result;
  if (!valid()) {
    result.failed = true;
    return result;
  }
  std::vector<HANDLE> waits{m_state->wake.get()};
  for (const auto& [watch, tree] : m_state->trees) waits.push_back(tree->done.get());
  if (waits.size() > MAXIMUM_WAIT_OBJECTS) waits.resize(MAXIMUM_WAIT_OBJECTS);
  const DWORD fired = WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE,
                                             static_cast<DWORD>(timeout.count()));
  if (fired == WAIT_OBJECT_0) result.woken = true;
  std::vector<std::int64_t> gone;
  for (auto& [watch, tree] : m_state->trees) {
    DWORD bytes = 0;
    if (GetOverlappedResult(tree->folder.get(), &tree->overlapped, &bytes, FALSE)) {
      collect(watch, *tree, bytes, result);
    } else if (GetLastError() == ERROR_NOTIFY_ENUM_DIR) {
      result.overflow = true;
    } else {
      if (GetLastError() != ERROR_IO_INCOMPLETE) gone.push_back(watch);
      continue;
    }
    ResetEvent(tree->done.get());
    if (!startRead(*tree)) gone.push_back(watch);
  }
  for (const std::int64_t watch : gone) {
    m_state->trees.erase(watch);
    if (removed) removed->push_back(watch);
  }
  return result;
}

void FolderWatch::wake() const {
  if (valid()) SetEvent(m_state->wake.get());
}

std::optional<std::string> FolderWatch::folderPathOf(const FolderEvent&) const { return std::nullopt; }

std::optional<std::uint64_t> FolderWatch::folderWatchLimit() { return std::nullopt; }

void FolderWatch::refuseWatchesBeyondForTesting(std::optional<std::size_t> count) { g_refuseBeyond = count; }

}  // namespace halvik::platform
