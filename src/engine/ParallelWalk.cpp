#include "engine/ParallelWalk.h"

#include "engine/SignatureDb.h"
#include "engine/WalkRules.h"
#include "platform/Ascii.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace halvik::engine {
namespace {

// Folders waiting on the stack with their handle open, at most: beyond it a folder waits
// closed and is reached again from the root, one checked folder at a time, when its turn comes.
constexpr std::size_t kOpenWaiting = 512;

// A folder to walk: its handle (closed when it waited among too many), its path, and the
// identity of every folder from the root down to it.
struct Folder {
  platform::FolderHandle handle;
  std::string path;
  std::vector<platform::FolderId> chain;
};

// The threat name, upper-cased, of the entry `name`, or empty text; a name with blanks at
// either end is never a hit.
std::string threatOf(const std::string& name, const ThreatLookup& lookup) {
  return IsKeyName(name) ? platform::upperCase(lookup(name)) : std::string();
}

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
  void work();
  std::optional<Folder> take();
  void hand(std::vector<Folder>& found);
  void walk(Folder& folder, std::vector<Folder>& found);
  bool excluded(const std::string& path, const std::string& name, WalkCounts& counts);
  void openSubfolder(const Folder& parent, const std::string& name, std::string path, std::vector<Folder>& found,
                     WalkCounts& counts);
  void lookUp(const Folder& folder, const std::string& name, WalkCounts& counts);
  void unreadable(const std::string& path, WalkCounts& counts);
  void finished(const Folder& folder, const WalkCounts& counts);
  platform::FolderHandle reach(const Folder& folder) const;

  const WalkOptions& m_options;
  WalkSink& m_sink;
  std::size_t m_rootLength = 0;

  std::mutex m_stackMutex;
  std::condition_variable m_ready;
  std::vector<Folder> m_stack;
  unsigned m_busy = 0;
  std::atomic<std::size_t> m_openWaiting{0};

  std::mutex m_sinkMutex;  // the sink, the day log and the totals
  WalkCounts m_total;
};

WalkCounts ParallelWalk::run(const std::string& root, unsigned jobs) {
  Folder top{{}, NormaliseRoot(root), {}};
  m_rootLength = top.path.size();
  WalkCounts counts;
  if (m_options.exclusions && !top.path.empty() && excluded(top.path, FileNameOf(top.path), counts)) return counts;
  top.handle = platform::FolderHandle::open(top.path + platform::kSeparator);
  top.chain.push_back(top.handle.id());
  m_openWaiting = top.handle.valid() ? 1 : 0;
  m_stack.push_back(std::move(top));
  std::vector<std::thread> helpers;
  for (unsigned each = 1; each < jobs; ++each) {
    try {
      helpers.emplace_back([this] { work(); });
    } catch (const std::system_error&) {
      break;  // the threads started so far, and this one, walk everything
    }
  }
  work();
  for (std::thread& helper : helpers) helper.join();
  return m_total;
}

void ParallelWalk::work() {
  std::vector<Folder> found;
  while (std::optional<Folder> folder = take()) {
    walk(*folder, found);
    hand(found);
  }
}

// The next folder to walk, once there is one; nullopt when every folder is walked.
std::optional<Folder> ParallelWalk::take() {
  std::unique_lock lock(m_stackMutex);
  m_ready.wait(lock, [this] { return !m_stack.empty() || m_busy == 0; });
  if (m_stack.empty()) return std::nullopt;
  Folder folder = std::move(m_stack.back());
  m_stack.pop_back();
  if (folder.handle.valid()) --m_openWaiting;
  ++m_busy;
  return folder;
}

// Puts the subfolders found by the walk of one folder on the stack, and wakes the threads that
// wait for work, or for the end.
void ParallelWalk::hand(std::vector<Folder>& found) {
  std::lock_guard lock(m_stackMutex);
  --m_busy;
  const bool any = !found.empty();
  for (Folder& folder : found) m_stack.push_back(std::move(folder));
  found.clear();
  if (any || m_busy == 0) m_ready.notify_all();
}

void ParallelWalk::walk(Folder& folder, std::vector<Folder>& found) {
  WalkCounts counts;
  if (!folder.handle.valid() && folder.chain.size() > 1) folder.handle = reach(folder);
  const auto listed = folder.handle.list("*", platform::kFolder);
  if (!listed) {
    unreadable(folder.path, counts);
    finished(folder, counts);
    return;
  }
  std::vector<bool> kept(listed->size(), true);
  for (std::size_t index = 0; index < listed->size(); ++index) {
    const platform::DirEntry& entry = (*listed)[index];
    const auto path = [&] { return folder.path + platform::kSeparator + entry.name; };
    if (m_options.exclusions && excluded(path(), entry.name, counts))
      kept[index] = false;
    else if (IsWalkedFolder(folder.handle, entry))
      openSubfolder(folder, entry.name, path(), found, counts);
  }
  for (std::size_t index = 0; index < listed->size(); ++index)
    if (kept[index]) lookUp(folder, (*listed)[index].name, counts);
  finished(folder, counts);
}

bool ParallelWalk::excluded(const std::string& path, const std::string& name, WalkCounts& counts) {
  if (!m_options.exclusions->matches(path, name)) return false;
  counts.excluded += 1;
  std::lock_guard lock(m_sinkMutex);
  m_sink.excluded(path);
  return true;
}

// Opens the subfolder `name` now, so that what it is (a folder of this file system, not one of
// the folders above) is judged on the folder the listing saw.
void ParallelWalk::openSubfolder(const Folder& parent, const std::string& name, std::string path,
                                 std::vector<Folder>& found, WalkCounts& counts) {
  bool otherFileSystem = false;
  platform::FolderHandle handle = parent.handle.openChild(name, &otherFileSystem);
  if (otherFileSystem) return;
  if (!handle.valid()) {
    unreadable(path, counts);
    return;
  }
  if (onChain(parent.chain, handle.id())) return;
  Folder child{{}, std::move(path), parent.chain};
  child.chain.push_back(handle.id());
  if (m_openWaiting.fetch_add(1) < kOpenWaiting)
    child.handle = std::move(handle);
  else
    --m_openWaiting;
  found.push_back(std::move(child));
}

void ParallelWalk::lookUp(const Folder& folder, const std::string& name, WalkCounts& counts) {
  counts.scanned += 1;
  const std::string threat = threatOf(name, m_options.lookup);
  if (threat.empty()) return;
  counts.hits += 1;
  mScanFiles::Hit hit{threat, folder.path + platform::kSeparator + name, m_rootLength, folder.chain,
                      folder.handle.identify(name)};
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

// A folder that waited closed, opened again from the root through the folders the walk saw,
// never through a link; a closed handle when any of them changed meanwhile.
platform::FolderHandle ParallelWalk::reach(const Folder& folder) const {
  // ReachFolder finds the folder of an entry: any name below this folder will do.
  mScanFiles::Hit inside{{}, folder.path + platform::kSeparator + "-", m_rootLength, folder.chain, std::nullopt};
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
