#include "scan/RepairBatch.h"

#include "core/mMain.h"
#include "platform/Environment.h"

#include <string>

namespace halvik::scan {
namespace {
using platform::EntryKind;

constexpr std::size_t kBatchCopies = 100;
constexpr std::int64_t kBatchNanoseconds = 250'000'000;

std::int64_t now() { return platform::environment().clock.now(); }

// Removes the entry through its reached folder, only while it is what the walk saw.
RepairOutcome removeEntry(const engine::mScanFiles::Hit& hit, const engine::mScanFiles::ReachedFolder& reached) {
  switch (reached.folder.removeEntry(reached.name, *hit.entry)) {
    case platform::Removal::Removed: return RepairOutcome::Removed;
    case platform::Removal::Gone: return RepairOutcome::Gone;
    case platform::Removal::Changed: return RepairOutcome::Changed;
    case platform::Removal::Failed: break;
  }
  return RepairOutcome::Kept;
}

void tell(const engine::mScanFiles::Hit& hit, const RepairBatch::Done& done, RepairOutcome outcome) {
  if (outcome == RepairOutcome::Changed)
    core::mMain::WriteLog(hit.path + " was not removed: it changed since the scan",
                          {core::LogKind::Repair, hit.threatName, hit.path, "not-removed", {}});
  if (done) done(outcome);
}
}  // namespace

RepairBatch::RepairBatch(bool keepCopy) : m_keepCopy(keepCopy) {}

RepairBatch::~RepairBatch() { finish(); }

void RepairBatch::repair(const engine::mScanFiles::Hit& hit, Wanted wanted, Done done) {
  m_waiting.push_back({hit, {}, std::move(wanted), std::move(done), std::nullopt});
  Waiting& item = m_waiting.back();
  item.outcome = prepare(item);
  if (item.outcome)
    item.reached = {};  // its folder is of no more use
  else if (m_copies++ == 0)
    m_firstCopyAt = now();
  if (m_copies == 0 || m_copies >= kBatchCopies || now() - m_firstCopyAt >= kBatchNanoseconds) finish();
}

// Reaches the entry again and, when a copy is asked for, stores it: the outcome, or nullopt when
// the entry waits for the record of its copy. Without a copy the entry is deleted at once.
std::optional<RepairOutcome> RepairBatch::prepare(Waiting& item) {
  const engine::mScanFiles::Hit& hit = item.hit;
  // Nothing is ever deleted recursively: a folder hit is kept.
  if (hit.entry && hit.entry->kind == EntryKind::Folder) return RepairOutcome::Kept;
  item.reached = engine::mScanFiles::ReachFolder(hit);
  const auto& reached = item.reached;
  if (reached.state == engine::mScanFiles::ReachedFolder::State::Gone) return RepairOutcome::Gone;
  if (reached.state == engine::mScanFiles::ReachedFolder::State::Changed) return RepairOutcome::Changed;
  const auto found = reached.folder.identify(reached.name);
  if (!found) return RepairOutcome::Gone;
  if (!hit.entry || !(*found == *hit.entry)) return RepairOutcome::Changed;
  if (!m_keepCopy) return removeEntry(hit, reached);
  // A link or any other entry that is no regular file has no copy, so it is kept.
  if (hit.entry->kind != EntryKind::File) return RepairOutcome::Kept;
  // The copy is made from a descriptor opened on the very file the walk saw.
  const platform::OpenFile source = reached.folder.openFile(reached.name, hit.entry->id);
  if (!source.valid()) {
    const auto again = reached.folder.identify(reached.name);
    return again && *again == *hit.entry ? RepairOutcome::Kept : RepairOutcome::Changed;
  }
  if (!m_quarantine.store(hit.path, source, hit.threatName)) return RepairOutcome::Kept;
  return std::nullopt;
}

void RepairBatch::finish() {
  if (m_waiting.empty()) return;
  const bool recorded = m_quarantine.record();
  if (!recorded)
    core::mMain::WriteLog("The quarantine records could not be written: " + std::to_string(m_copies) +
                          " files were kept");
  std::vector<Waiting> batch;
  batch.swap(m_waiting);
  m_copies = 0;
  for (Waiting& item : batch) {
    if (item.outcome) {
      tell(item.hit, item.done, *item.outcome);
    } else if (!recorded) {
      tell(item.hit, item.done, RepairOutcome::Kept);
    } else if (!item.wanted || item.wanted()) {
      tell(item.hit, item.done, removeEntry(item.hit, item.reached));
    }
  }
}

}  // namespace halvik::scan
