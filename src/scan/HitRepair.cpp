#include "scan/HitRepair.h"

#include "scan/RepairBatch.h"

namespace halvik::scan {

RepairOutcome RepairHit(const engine::mScanFiles::Hit& hit, bool keepCopy) {
  RepairOutcome outcome = RepairOutcome::Kept;
  RepairBatch batch(keepCopy);
  batch.repair(hit, {}, [&outcome](RepairOutcome told) { outcome = told; });
  batch.finish();
  return outcome;
}

}  // namespace halvik::scan
