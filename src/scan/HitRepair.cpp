#include "scan/HitRepair.h"

#include "core/mMain.h"
#include "platform/Platform.h"
#include "quarantine/QuarantineStore.h"

namespace halvik::scan {
namespace {
using platform::EntryKind;
using platform::Removal;

// How the repair of one hit, or a step of it, ended.
enum class Outcome {
  Stored,   // the quarantine holds the copy; the entry is still to be removed
  Removed,  // the entry is gone
  Gone,     // the entry was gone before the repair reached it: nothing was removed
  Kept,     // the entry is still there
  Changed,  // the entry, or a folder on its way, is not what the walk saw; nothing was touched
};

// Copies the hit's file into the quarantine from a descriptor opened on the very file the walk
// saw. A link or any other entry that is no regular file has no copy, so it is kept.
Outcome storeCopy(const engine::mScanFiles::Hit& hit, const engine::mScanFiles::ReachedFolder& reached) {
  if (hit.entry->kind != EntryKind::File) return Outcome::Kept;
  const platform::OpenFile source = reached.folder.openFile(reached.name, hit.entry->id);
  if (source.valid())
    return quarantine::StoreInQuarantine(hit.path, source, hit.threatName) ? Outcome::Stored : Outcome::Kept;
  const auto now = reached.folder.identify(reached.name);
  return now && *now == *hit.entry ? Outcome::Kept : Outcome::Changed;
}

// Removes the entry of one hit, through its reached folder and only while it is what the walk saw.
Outcome removeEntry(const engine::mScanFiles::Hit& hit, bool keepCopy) {
  const engine::mScanFiles::ReachedFolder reached = engine::mScanFiles::ReachFolder(hit);
  if (reached.state == engine::mScanFiles::ReachedFolder::State::Gone) return Outcome::Gone;
  if (reached.state == engine::mScanFiles::ReachedFolder::State::Changed) return Outcome::Changed;
  const auto now = reached.folder.identify(reached.name);
  if (!now) return Outcome::Gone;
  if (!hit.entry || !(*now == *hit.entry)) return Outcome::Changed;
  if (keepCopy) {
    const Outcome stored = storeCopy(hit, reached);
    if (stored != Outcome::Stored) return stored;
  }
  switch (reached.folder.removeEntry(reached.name, *hit.entry)) {
    case Removal::Removed: return Outcome::Removed;
    case Removal::Gone: return Outcome::Gone;
    case Removal::Changed: return Outcome::Changed;
    case Removal::Failed: break;
  }
  return Outcome::Kept;
}
}  // namespace

RepairOutcome RepairHit(const engine::mScanFiles::Hit& hit, bool keepCopy) {
  // Nothing is ever deleted recursively: a folder hit is kept.
  if (hit.entry && hit.entry->kind == EntryKind::Folder) return RepairOutcome::Kept;
  switch (removeEntry(hit, keepCopy)) {
    case Outcome::Removed: return RepairOutcome::Removed;
    case Outcome::Gone: return RepairOutcome::Gone;
    case Outcome::Changed:
      core::mMain::WriteLog(hit.path + " was not removed: it changed since the scan",
                            {core::LogKind::Repair, hit.threatName, hit.path, "not-removed", {}});
      return RepairOutcome::Changed;
    case Outcome::Stored:
    case Outcome::Kept: break;
  }
  return RepairOutcome::Kept;
}

}  // namespace halvik::scan
