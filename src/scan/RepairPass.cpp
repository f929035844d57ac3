#include "scan/RepairPass.h"

#include "core/Settings.h"
#include "engine/mScanFiles.h"
#include "scan/HitRepair.h"

namespace halvik::scan {
namespace {
constexpr const char* kFixedTag = "FIXED";

// Handles the entry of row `row`; the verdict is whether it is still there afterwards. An entry
// that was already gone is not there, but is not counted as removed either.
int repairRow(int row, const engine::mScanFiles::Hit& hit, RepairView& view) {
  switch (RepairHit(hit, core::settings::onWhenOne(core::settings::Key::Quarintine))) {
    case RepairOutcome::Removed: break;
    case RepairOutcome::Gone: view.rowGone(row); return kImageRemoved;
    case RepairOutcome::Kept:
    case RepairOutcome::Changed: return kImageFailed;
  }
  const std::string total =
      core::settings::numberText(core::settings::readNumber(core::settings::Key::TotalObjectsRemoved) + 1);
  view.showObjectsRemoved(total);
  core::settings::write(core::settings::Key::TotalObjectsRemoved, total);
  return kImageRemoved;
}
}  // namespace

void RunRepair(RepairView& view) {
  engine::mScanFiles::setScanRunning(false);
  if (view.rowCount() == 0 || !view.tag().empty())
    view.hide();
  else
    view.setTag(kFixedTag);
  const int rows = view.rowCount();
  for (int row = 0; row < rows; ++row) {
    if (!view.rowChecked(row) || view.rowImage(row) != kImageFound) continue;
    view.setRowImage(row, repairRow(row, view.rowHit(row), view));
  }
  view.quarantineChanged();
}

}  // namespace halvik::scan
