#include "engine/ParallelWalk.h"

#include "engine/SignatureDb.h"
#include "engine/WalkRules.h"
#include "platform/Ascii.h"
#include "platform/DirEntries.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace halvik::engine {
namespace {

// Folders of the walk held open at most: a listed folder stays open while subfolders of it wait
// on the stack, so that each is opened from it when its turn comes; beyond this many, the
// subfolders of a folder wait without it and are reached again from the root, one checked folder
// at a time.
constexpr std::size_t kOpenFolders = 512;

// A thread looks at what it read from the disk every this many folders; when at least half of
// them took a block of their own from it, the walk waits on the disk and gains a thread.
constexpr unsigned kFoldersPerLook = 16;
constexpr std::uint64_t kWaitingBytes = kFoldersPerLook / 2 * 4096;

// A folder to walk: the open folder that listed it (null when it waits without), its name and
// identity as listed there, its path, and the identity of every folder from the root down to the
// one that listed it.
struct Folder {
  std::shared_ptr<const platform::FolderHandle> parent;
  std::string name;
  std::uint64_t listedId = 0;
  std::string path;
  std::vector<platform::FolderId> chain;
};

// The threat name, upper-cased, of the entry `name`, or empty text; a name with blanks at
// either end is never a hit.
std::string threatOf(std::string_view name, const ThreatLookup& lookup) {
  std::string threat = lookup(name);
  return threat.empty() || !IsKeyName(name) ? std::string() : platform::upperCase(threat);
}

// What a thread of the walk keeps from one folder to the next, so that the memory is reused.
struct Scratch {
  platform::DirEntries listed;
  std::vector<Folder> found;
  unsigned foldersSinceLook = 0;
  std::uint64_t readAtLook = platform::diskBytesReadByThread();
};

// The chain of a subfolder of the folder whose chain is `chain`, with room for its own identity.
std::vector<platform::FolderId> chainBelow(const std::vector<platform::FolderId>& chain) {
  std::vector<platform::FolderId> below;
  below.reserve(chain.size() + 1);
  below.assign(chain.begin(), chain.end());
  return below;
}

// An open folder of the walk, counted among the open folders while it stays open.
struct CountedFolder {
  CountedFolder(platform::FolderHandle folder, std::atomic<std::size_t>& open)
      : handle(std::move(folder)), count(open) {
    ++count;
  }
  ~CountedFolder() { --count; }
  CountedFolder(const CountedFolder&) = delete;
  CountedFolder& operator=(const CountedFolder&) = delete;

  platform::FolderHandle handle;
  std::atomic<std::size_t>& count;
};

bool onChain(const std::vector<platform::FolderId>& chain, const platform::FolderId& id) {
  for (const platform::FolderId& each : chain)
    if (each == id) return true;
  return false;
}

class ParallelWalk {
 public:
  ParallelWalk(const WalkOptions& options, WalkSink& sink) : m_options(options), m_sink(sink) {}

  WalkCounts run(const std::string& root, unsigned jobs);

 private:
  using SharedHandle = std::shared_ptr<const platform::FolderHandle>;

  void work();
  bool addThread();
  void watchDisk(Scratch& scratch);
  std::optional<Folder> take();
  void hand(std::vector<Folder>& found);
  void done();
  void walk(Folder& folder, Scratch& scratch);
  SharedHandle open(Folder& folder, WalkCounts& counts);
  SharedHandle share(platform::FolderHandle handle);
  bool excluded(const std::string& path, const std::string& name, WalkCounts& counts);
  void lookUp(const Folder& folder, const platform::FolderHandle& handle, std::string_view name, WalkCounts& counts);
  void unreadable(const std::string& path, WalkCounts& counts);
  void finished(const Folder& folder, const WalkCounts& counts);
  platform::FolderHandle reachParent(const Folder& folder) const;

  const WalkOptions& m_options;
  WalkSink& m_sink;
  std::size_t m_rootLength = 0;

  std::mutex m_stackMutex;
  std::condition_variable m_ready;
  std::vector<Folder> m_stack;
  unsigned m_busy = 0;
  std::atomic<std::size_t> m_openFolders{0};

  std::mutex m_threadsMutex;
  std::vector<std::thread> m_threads;  // besides the caller's
  unsigned m_maxJobs = 1;
  std::atomic<bool> m_mayGrow{false};

  std::mutex m_sinkMutex;  // the sink, the day log and the totals
  WalkCounts m_total;
};

WalkCounts ParallelWalk::run(const std::string& root, unsigned jobs) {
  Folder top{nullptr, {}, 0, NormaliseRoot(root), {}};
  m_rootLength = top.path.size();
  WalkCounts counts;
  if (m_options.exclusions && !top.path.empty() && excluded(top.path, FileNameOf(top.path), counts)) return counts;
  m_stack.push_back(std::move(top));
  m_maxJobs = std::max(jobs, m_options.waitingJobs);
  for (unsigned each = 1; each < jobs; ++each)
    if (!addThread()) break;  // the threads started so far, and this one, walk everything
  m_mayGrow = m_maxJobs > jobs;
  work();
  // Threads are added only while a folder is in hand: none is once the walk is over.
  std::lock_guard lock(m_threadsMutex);
  for (std::thread& thread : m_threads) thread.join();
  return m_total;
}

void ParallelWalk::work() {
  Scratch scratch;
  while (std::optional<Folder> folder = take()) {
    walk(*folder, scratch);
    watchDisk(scratch);
    done();
  }
}

// Starts one more thread of the walk, unless the walk has all it may have; false when it has.
bool ParallelWalk::addThread() {
  std::lock_guard lock(m_threadsMutex);
  if (m_threads.size() + 1 >= m_maxJobs) return false;
  try {
    m_threads.emplace_back([this] { work(); });
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

// Every few folders, one more thread when this one mostly waited for the disk to read them.
void ParallelWalk::watchDisk(Scratch& scratch) {
  if (!m_mayGrow.load(std::memory_order_relaxed) || ++scratch.foldersSinceLook < kFoldersPerLook) return;
  const std::uint64_t read = platform::diskBytesReadByThread();
  if (read - scratch.readAtLook >= kWaitingBytes && !addThread()) m_mayGrow = false;
  scratch.readAtLook = read;
  scratch.foldersSinceLook = 0;
}

// The next folder to walk, once there is one; nullopt when every folder is walked.
std::optional<Folder> ParallelWalk::take() {
  std::unique_lock lock(m_stackMutex);
  m_ready.wait(lock, [this] { return !m_stack.empty() || m_busy == 0; });
  if (m_stack.empty()) return std::nullopt;
  Folder folder = std::move(m_stack.back());
  m_stack.pop_back();
  ++m_busy;
  return folder;
}

// Puts the subfolders found in one folder on the stack, the first listed on top, and wakes the
// threads that wait for work.
void ParallelWalk::hand(std::vector<Folder>& found) {
  if (found.empty()) return;
  {
    std::lock_guard lock(m_stackMutex);
    for (auto folder = found.rbegin(); folder != found.rend(); ++folder) m_stack.push_back(std::move(*folder));
  }
  found.clear();
  m_ready.notify_all();
}

// One folder walked: when it was the last in hand and none waits, the threads waiting learn the end.
void ParallelWalk::done() {
  std::lock_guard lock(m_stackMutex);
  if (--m_busy == 0 && m_stack.empty()) m_ready.notify_all();
}

void ParallelWalk::walk(Folder& folder, Scratch& scratch) {
  WalkCounts counts;
  const SharedHandle handle = open(folder, counts);
  if (!handle || !handle->listInto(scratch.listed, "*", platform::kFolder)) {
    if (handle) unreadable(folder.path, counts);
    finished(folder, counts);
    return;
  }
  const platform::DirEntries& listed = scratch.listed;
  // Subfolders wait with this folder open, unless too many folders are open already.
  const SharedHandle parent = m_openFolders.load() < kOpenFolders ? handle : nullptr;
  for (std::size_t index = 0; index < listed.size(); ++index) {
    const std::string_view name = listed.name(index);
    const auto path = [&] { return folder.path + platform::kSeparator + std::string(name); };
    if (m_options.exclusions && excluded(path(), std::string(name), counts)) continue;
    if (IsWalkedFolder(*handle, name, listed.attributes(index)))
      scratch.found.push_back({parent, std::string(name), listed.listedId(index), path(), chainBelow(folder.chain)});
    lookUp(folder, *handle, name, counts);
  }
  hand(scratch.found);
  finished(folder, counts);
}

// Opens the folder to walk and adds its identity to its chain: the root as named, any other
// from the folder that listed it, never through a link, never onto another file system, never
// one of the folders above it again. Null when it is not walked; counted when unreadable.
ParallelWalk::SharedHandle ParallelWalk::open(Folder& folder, WalkCounts& counts) {
  if (folder.chain.empty()) {
    platform::FolderHandle root = platform::FolderHandle::open(folder.path + platform::kSeparator);
    if (!root.valid()) unreadable(folder.path, counts);
    folder.chain.push_back(root.id());
    return root.valid() ? share(std::move(root)) : nullptr;
  }
  bool otherFileSystem = false;
  platform::FolderHandle handle = folder.parent
                                      ? folder.parent->openChild(folder.name, &otherFileSystem, folder.listedId)
                                      : reachParent(folder).openChild(folder.name, &otherFileSystem, folder.listedId);
  folder.parent.reset();
  if (otherFileSystem) return nullptr;
  if (!handle.valid()) {
    unreadable(folder.path, counts);
    return nullptr;
  }
  if (onChain(folder.chain, handle.id())) return nullptr;
  folder.chain.push_back(handle.id());
  return share(std::move(handle));
}

// The open folder, counted among the open folders of the walk while it stays open.
ParallelWalk::SharedHandle ParallelWalk::share(platform::FolderHandle handle) {
  auto counted = std::make_shared<const CountedFolder>(std::move(handle), m_openFolders);
  return SharedHandle(counted, &counted->handle);
}

bool ParallelWalk::excluded(const std::string& path, const std::string& name, WalkCounts& counts) {
  if (!m_options.exclusions->matches(path, name)) return false;
  counts.excluded += 1;
  std::lock_guard lock(m_sinkMutex);
  m_sink.excluded(path);
  return true;
}

void ParallelWalk::lookUp(const Folder& folder, const platform::FolderHandle& handle, std::string_view name,
                          WalkCounts& counts) {
  counts.scanned += 1;
  const std::string threat = threatOf(name, m_options.lookup);
  if (threat.empty()) return;
  counts.hits += 1;
  const std::string entry(name);
  mScanFiles::Hit hit{threat, folder.path + platform::kSeparator + entry, m_rootLength, folder.chain,
                      handle.identify(entry)};
  std::lock_guard lock(m_sinkMutex);
  m_sink.hit(hit);
  LogHit(threat, hit.path);
}

void ParallelWalk::unreadable(const std::string& path, WalkCounts& counts) {
  counts.unreadable += 1;
  std::lock_guard lock(m_sinkMutex);
  m_sink.unreadable(LogUnreadable(path));
}

void ParallelWalk::finished(const Folder& folder, const WalkCounts& counts) {
  std::lock_guard lock(m_sinkMutex);
  m_total += counts;
  if (m_options.progress) m_options.progress(m_total, folder.path);
}

// The folder that listed `folder`, which waited without it, opened again from the root through
// the folders the walk saw, never through a link; a closed handle when any of them changed.
platform::FolderHandle ParallelWalk::reachParent(const Folder& folder) const {
  mScanFiles::Hit inside{{}, folder.path, m_rootLength, folder.chain, std::nullopt};
  mScanFiles::ReachedFolder reached = mScanFiles::ReachFolder(inside);
  return std::move(reached.folder);
}

}  // namespace

WalkCounts& WalkCounts::operator+=(const WalkCounts& other) {
  scanned += other.scanned;
  hits += other.hits;
  unreadable += other.unreadable;
  excluded += other.excluded;
  return *this;
}

WalkCounts WalkInParallel(const std::string& root, const WalkOptions& options, WalkSink& sink) {
  return ParallelWalk(options, sink).run(root, options.jobs == 0 ? 1 : options.jobs);
}

WalkCounts LookUpFile(const std::string& path, const WalkOptions& options, WalkSink& sink) {
  WalkCounts counts;
  const std::string name = FileNameOf(path);
  if (options.exclusions && options.exclusions->matches(path, name)) {
    counts.excluded = 1;
    sink.excluded(path);
    return counts;
  }
  counts.scanned = 1;
  const std::string threat = threatOf(name, options.lookup);
  if (threat.empty()) return counts;
  counts.hits = 1;
  const std::size_t rootLength = path.size() - name.size() - 1;
  const platform::FolderHandle folder = platform::FolderHandle::open(path.substr(0, rootLength + 1));
  sink.hit({threat, path, rootLength, {folder.id()}, folder.identify(name)});
  LogHit(threat, path);
  return counts;
}

}  // namespace halvik::engine
