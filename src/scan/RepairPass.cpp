#include "scan/RepairPass.h"

#include "core/Settings.h"
#include "engine/mScanFiles.h"
#include "scan/RepairBatch.h"

#include <optional>
#include <utility>

namespace halvik::scan {
namespace {
constexpr const char* kFixedTag = "FIXED";

// The count of removed objects: shown at each removal, stored once at the end of the pass.
class RemovedCount {
 public:
  void add(RepairView& view) {
    if (!m_total) m_total = core::settings::readNumber(core::settings::Key::TotalObjectsRemoved);
    m_total = *m_total + 1;
    m_unstored = true;
    view.showObjectsRemoved(core::settings::numberText(*m_total));
  }
  void store() {
    if (std::exchange(m_unstored, false))
      core::settings::write(core::settings::Key::TotalObjectsRemoved, core::settings::numberText(*m_total));
  }

 private:
  std::optional<double> m_total;
  bool m_unstored = false;
};

// The row's image for the outcome of its repair: whether its entry is still there. An entry that
// was already gone is not there, but is not counted as removed either.
int imageOf(int row, RepairOutcome outcome, RepairView& view, RemovedCount& removed) {
  switch (outcome) {
    case RepairOutcome::Removed: removed.add(view); return kImageRemoved;
    case RepairOutcome::Gone: view.rowGone(row); return kImageRemoved;
    case RepairOutcome::Kept:
    case RepairOutcome::Changed: break;
  }
  return kImageFailed;
}
}  // namespace

void RunRepair(RepairView& view) {
  engine::mScanFiles::setScanRunning(false);
  if (view.rowCount() == 0 || !view.tag().empty())
    view.hide();
  else
    view.setTag(kFixedTag);
  RemovedCount removed;
  RepairBatch batch(core::settings::onWhenOne(core::settings::Key::Quarintine));
  const int rows = view.rowCount();
  for (int row = 0; row < rows; ++row) {
    if (!view.rowChecked(row) || view.rowImage(row) != kImageFound) continue;
    batch.repair(
        view.rowHit(row), [&view, row] { return view.rowChecked(row); },
        [&view, &removed, row](RepairOutcome outcome) { view.setRowImage(row, imageOf(row, outcome, view, removed)); });
  }
  batch.finish();
  removed.store();
  view.quarantineChanged();
}

}  // namespace halvik::scan
