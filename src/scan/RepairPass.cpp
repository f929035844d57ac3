#include "scan/RepairPass.h"

#include "core/Settings.h"
#include "engine/mScanFiles.h"
#include "platform/Platform.h"
#include "quarantine/QuarantineStore.h"

namespace scan {
namespace {
constexpr const char* kFixedTag = "FIXED";

bool isFolder(const std::string& path) {
  const auto attributes = platform::fileAttributes(path);
  return attributes && (*attributes & platform::kFolder) && !(*attributes & platform::kReparsePoint);
}

// Removes the file of one row; the verdict is whether it is still there afterwards.
int repairRow(const std::string& path, const std::string& threatName, RepairView& view) {
  if (isFolder(path)) return kImageFailed;
  if (settings::read(settings::Quarintine) == "1" && !PutInQuarantine(path, threatName)) return kImageFailed;
  platform::deleteFile(path);
  if (platform::fileLength(path)) return kImageFailed;
  const std::string total = settings::numberText(settings::readNumber(settings::TotalObjectsRemoved) + 1);
  view.showObjectsRemoved(total);
  settings::write(settings::TotalObjectsRemoved, total);
  return kImageRemoved;
}
}  // namespace

void RunRepair(RepairView& view) {
  mScanFiles::setScanRunning(false);
  if (view.rowCount() == 0 || !view.tag().empty())
    view.hide();
  else
    view.setTag(kFixedTag);
  const int rows = view.rowCount();
  for (int row = 0; row < rows; ++row) {
    if (!view.rowChecked(row) || view.rowImage(row) != kImageFound) continue;
    view.setRowImage(row, repairRow(view.rowPath(row), view.rowThreat(row), view));
  }
  view.quarantineChanged();
}

}  // namespace scan
