#pragma once

#include "engine/ScanHit.h"

// The repair of one hit, as the results window's "Suivant" does it and wherever else a hit is
// acted on: the entry is reached again from the walk's root one folder at a time, never through
// a link, and acted on only when every folder on the way and the entry itself are the ones the
// walk saw; a folder is never deleted, a link is removed (never its target) and never copied.
namespace halvik::scan {

enum class RepairOutcome {
  Removed,  // the entry is removed
  Gone,     // the entry was gone already: nothing was removed
  Kept,     // the entry is still there: a folder, a copy that could not be made, a refused deletion
  Changed,  // the entry, or a folder on its way, is not what the walk saw; nothing was touched (logged)
};

// Deletes the entry of `hit`, after a copy into the quarantine when `keepCopy` (the entry is kept
// when the copy cannot be made, a link included, or when its record cannot be written): a
// RepairBatch of one hit.
RepairOutcome RepairHit(const engine::mScanFiles::Hit& hit, bool keepCopy);

}  // namespace halvik::scan
