#pragma once

#include "engine/ScanHit.h"
#include "quarantine/QuarantineBatch.h"
#include "scan/HitRepair.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace halvik::scan {

// The repair of a run of hits (a repair pass, or the single hit the watch of folders acts on),
// as HitRepair.h describes each one, with the quarantine records of its copies written together.
// Copies are made as the hits come; a batch ends after 100 copies or 250 ms since its first,
// whichever comes first, and at finish(): the records of its copies are written in one locked
// write flushed to the disk, and only then are its entries deleted. A crash thus never leaves
// an entry deleted before the record of its copy exists; when the records cannot be written the
// batch's copies are deleted again and its entries kept. Outcomes are told in the order the hits
// came, each once its batch is done.
class RepairBatch {
 public:
  using Wanted = std::function<bool()>;
  using Done = std::function<void(RepairOutcome)>;

  // `keepCopy`: a copy into the quarantine before each deletion (an entry is kept when its copy
  // cannot be made).
  explicit RepairBatch(bool keepCopy);
  ~RepairBatch();
  RepairBatch(const RepairBatch&) = delete;
  RepairBatch& operator=(const RepairBatch&) = delete;

  // Repairs the entry of `hit`. `wanted` is asked again right before the entry is deleted: when
  // it says no, the entry is kept (its copy and record stay in the quarantine) and nothing is
  // told. `done` is told the outcome.
  void repair(const engine::mScanFiles::Hit& hit, Wanted wanted, Done done);

  // Ends the current batch (also done when the object goes).
  void finish();

 private:
  struct Waiting {
    engine::mScanFiles::Hit hit;
    engine::mScanFiles::ReachedFolder reached;  // open while the entry waits for its deletion
    Wanted wanted;
    Done done;
    std::optional<RepairOutcome> outcome;  // known already: nothing waits
  };

  std::optional<RepairOutcome> prepare(Waiting& item);

  bool m_keepCopy;
  quarantine::QuarantineBatch m_quarantine;
  std::vector<Waiting> m_waiting;
  std::size_t m_copies = 0;
  std::int64_t m_firstCopyAt = 0;
};

}  // namespace halvik::scan
