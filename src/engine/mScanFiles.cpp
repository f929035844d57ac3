#include "engine/mScanFiles.h"

#include "core/Settings.h"
#include "core/mMain.h"
#include "engine/CurrentSignatures.h"
#include "engine/WalkRules.h"
#include "platform/Ascii.h"
#include "platform/Environment.h"
#include "platform/Platform.h"
#include "platform/Wildcard.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace halvik::engine::mScanFiles {
namespace {
bool g_scanRunning = false;
double g_objectsScanned = 0;
double g_threatsFound = 0;
double g_unreadableFolders = 0;
// Raised by every start that stops a running walk: the stopped walk belongs to a discarded
// results window and must not go on filling it, not even to the end of its file pass.
std::uint64_t g_generation = 0;

// Folders deeper than this below the current one have their handle closed while the walk is
// below them, so a tree of any depth needs few open handles; a closed handle is opened again
// from its child's ".." (checked against the folder's identity) on the way back up.
constexpr std::size_t kOpenHandles = 64;

bool matchesEverything(const std::string& pattern) { return pattern == "*.*" || pattern == "*"; }

// One folder of the walk: its entries, listed once and kept for the file pass, and the
// indexes of the subfolders still to walk. Its path is the first pathLength bytes of the walk's
// current path, so a deep tree does not hold a copy of every long path.
struct Frame {
  std::size_t pathLength = 0;
  platform::FolderId id;
  platform::FolderHandle handle;
  std::vector<platform::DirEntry> entries;
  std::vector<std::size_t> subfolders;
  std::size_t nextSubfolder = 0;
};

class Walk {
 public:
  Walk(const std::string& pattern, ScanView& view, const Yield& yield)
      : m_pattern(pattern),
        m_view(view),
        m_yield(yield),
        m_generation(g_generation),
        m_signatures(currentSignatures()),
        m_yieldInterval(platform::environment().yieldInterval),
        m_lastCaptions(Clock::now()) {}

  void run(const std::string& folder);
  bool abandoned() const { return m_abandoned; }

 private:
  using Clock = std::chrono::steady_clock;

  bool enter(platform::FolderHandle handle, bool otherFileSystem = false);
  void reportUnreadable();
  bool onCurrentPath(const platform::FolderId& id) const;
  bool enterSubfolder(const std::string& name);
  void gatherSubfolders(Frame& frame) const;
  void closeFarHandles();
  void leaveFolder();
  void afterSubfolder();
  void filePass(const Frame& frame);
  void lookUp(const Frame& frame, const platform::DirEntry& entry);
  Hit hitOf(const Frame& frame, const std::string& name, const std::string& threatName) const;
  // When a pause yields: once the yield interval has passed, at the end of every folder's file
  // pass (captions then only when the interval has passed), and at the end of the walk.
  enum class Pause { IfDue, EndOfFolder, EndOfWalk };
  void pause(Pause when);
  void showCounters();

  const std::string& m_pattern;
  ScanView& m_view;
  const Yield& m_yield;
  const std::uint64_t m_generation;
  const std::shared_ptr<const SignatureSet> m_signatures;  // the set current at the start, for the whole walk
  const std::chrono::milliseconds m_yieldInterval;
  std::vector<Frame> m_stack;
  std::string m_path;
  std::size_t m_rootLength = 0;
  std::string m_curFile;
  bool m_curFileShown = true;
  bool m_abandoned = false;
  Clock::time_point m_lastCaptions;
};

void Walk::run(const std::string& folder) {
  m_path = NormaliseRoot(folder);
  m_rootLength = m_path.size();
  if (!enter(platform::FolderHandle::open(m_path + platform::kSeparator))) return;
  while (!m_stack.empty() && !m_abandoned) {
    Frame& top = m_stack.back();
    if (top.nextSubfolder < top.subfolders.size()) {
      if (!enterSubfolder(top.entries[top.subfolders[top.nextSubfolder++]].name)) afterSubfolder();
      continue;
    }
    filePass(top);
    leaveFolder();
    if (!m_stack.empty()) afterSubfolder();
  }
  m_stack.clear();
  if (!m_abandoned) pause(Pause::EndOfWalk);
}

// The start of a ScanFolder call: nothing is walked once the walk is cancelled or its window
// hidden. A folder that cannot be opened or listed is walked as an empty folder and counted as
// unreadable, unless it lies on another file system (never entered, on purpose).
bool Walk::enter(platform::FolderHandle handle, bool otherFileSystem) {
  if (!g_scanRunning || !m_view.visible()) return false;
  Frame frame{m_path.size(), handle.id(), std::move(handle), {}, {}, 0};
  if (auto listed = frame.handle.list("*", platform::kFolder))
    frame.entries = std::move(*listed);
  else if (!otherFileSystem)
    reportUnreadable();
  gatherSubfolders(frame);
  m_stack.push_back(std::move(frame));
  closeFarHandles();
  return true;
}

void Walk::reportUnreadable() {
  g_unreadableFolders += 1;
  m_view.addUnreadableFolder(LogUnreadable(m_path));
}

bool Walk::enterSubfolder(const std::string& name) {
  bool otherFileSystem = false;
  platform::FolderHandle handle = m_stack.back().handle.openChild(name, &otherFileSystem);
  if (handle.valid() && onCurrentPath(handle.id())) return false;
  const std::size_t parentLength = m_path.size();
  m_path += platform::kSeparator;
  m_path += name;
  if (enter(std::move(handle), otherFileSystem)) return true;
  m_path.resize(parentLength);
  return false;
}

// A folder bound inside itself (same device, same folder) would be walked again at every level.
bool Walk::onCurrentPath(const platform::FolderId& id) const {
  for (const Frame& frame : m_stack)
    if (frame.id == id) return true;
  return false;
}

void Walk::gatherSubfolders(Frame& frame) const {
  for (std::size_t index = 0; index < frame.entries.size(); ++index)
    if (IsWalkedFolder(frame.handle, frame.entries[index].name, frame.entries[index].attributes))
      frame.subfolders.push_back(index);
}

void Walk::closeFarHandles() {
  if (m_stack.size() > kOpenHandles) m_stack[m_stack.size() - 1 - kOpenHandles].handle = platform::FolderHandle();
}

// Pops the finished folder; its parent gets its handle back when it had been closed.
void Walk::leaveFolder() {
  Frame child = std::move(m_stack.back());
  m_stack.pop_back();
  if (m_stack.empty()) return;
  Frame& parent = m_stack.back();
  m_path.resize(parent.pathLength);
  if (parent.handle.valid()) return;
  parent.handle = child.handle.openParent(parent.id);
  if (!parent.handle.valid()) {
    // The folder was moved while the walk was below it: reach it by its path if that still leads to it.
    platform::FolderHandle byPath = platform::FolderHandle::open(m_path + platform::kSeparator);
    if (byPath.valid() && byPath.id() == parent.id) parent.handle = std::move(byPath);
  }
}

// After each subfolder: yield, then return at once (no file pass) when the walk was cancelled.
void Walk::afterSubfolder() {
  pause(Pause::IfDue);
  if (!g_scanRunning || m_abandoned) m_stack.clear();
}

// The folder's own entries, in listing order, each looked up by its bare name. The pass runs to
// the end of the listing even when the walk is cancelled meanwhile; it stops only when its
// window is gone or another start has taken over.
void Walk::filePass(const Frame& frame) {
  for (const platform::DirEntry& entry : frame.entries) {
    if (!matchesEverything(m_pattern) && !platform::matchesWildcard(entry.name, m_pattern)) continue;
    lookUp(frame, entry);
    if (m_abandoned) return;
  }
  pause(Pause::EndOfFolder);
}

void Walk::lookUp(const Frame& frame, const platform::DirEntry& entry) {
  m_curFile.assign(m_path).append(1, platform::kSeparator).append(entry.name);
  m_curFileShown = false;
  const std::string threatName = platform::upperCase(m_signatures->lookup(entry.name));
  g_objectsScanned += 1;
  pause(Pause::IfDue);
  if (m_abandoned || threatName.empty()) return;
  m_view.addHit(hitOf(frame, entry.name, threatName));
  g_threatsFound += 1;
  m_view.setMaliciousObjects(core::settings::numberText(g_threatsFound));
  LogHit(threatName, m_curFile);
}

// The hit on the entry `name` of `frame`, the folder the walk is in.
Hit Walk::hitOf(const Frame& frame, const std::string& name, const std::string& threatName) const {
  Hit hit{threatName, m_curFile, m_rootLength, {}, frame.handle.identify(name)};
  hit.folders.reserve(m_stack.size());
  for (const Frame& each : m_stack) hit.folders.push_back(each.id);
  return hit;
}

// Yields, and updates the captions at most once per yield interval so that drawing does not slow
// the walk (and always at its end, so that the final counters are exact); then looks at what the
// yield changed.
void Walk::pause(Pause when) {
  const bool due = Clock::now() - m_lastCaptions >= m_yieldInterval;
  if (!due && when == Pause::IfDue) return;
  if (due || when == Pause::EndOfWalk) {
    showCounters();
    m_lastCaptions = Clock::now();
  }
  if (m_yield) m_yield();
  if (g_generation != m_generation || !m_view.visible()) m_abandoned = true;
}

void Walk::showCounters() {
  if (!m_curFileShown) {
    m_view.setCurFile(m_curFile);
    m_curFileShown = true;
  }
  m_view.setObjectsScanned(core::settings::numberText(g_objectsScanned));
  m_view.setMaliciousObjects(core::settings::numberText(g_threatsFound));
}
}  // namespace

bool ScanRunning() { return g_scanRunning; }
void setScanRunning(bool running) { g_scanRunning = running; }
double ObjectsScanned() { return g_objectsScanned; }
double ThreatsFound() { return g_threatsFound; }
double UnreadableFolders() { return g_unreadableFolders; }

bool StartScan(const std::string& sPattern, const std::string& sFolder, ScanView& view, const Yield& yield) {
  g_objectsScanned = 0;
  g_threatsFound = 0;
  g_unreadableFolders = 0;
  if (g_scanRunning) {
    g_scanRunning = false;
    ++g_generation;
    return false;
  }
  if (!view.visible()) {
    view.close();
    return false;
  }
  g_scanRunning = true;
  Walk walk(sPattern, view, yield);
  walk.run(sFolder);
  // Any start made from inside the walk's yields has ended by now: no other walk is running.
  const bool completed = g_scanRunning && !walk.abandoned();
  g_scanRunning = false;
  return completed;
}

void ScanFolder(const std::string& sPattern, const std::string& sFolder, ScanView& view, const Yield& yield) {
  Walk(sPattern, view, yield).run(sFolder);
}

}  // namespace halvik::engine::mScanFiles
