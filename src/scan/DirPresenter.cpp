#include "scan/DirPresenter.h"

#include "platform/Environment.h"

#include "core/mMain.h"
#include "platform/Platform.h"
#include "scan/ScanPresenter.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace halvik::scan {

namespace {
const std::string kRoot(1, platform::kSeparator);

// The process's current folder, where the folder list starts.
std::string currentFolder() {
  std::error_code error;
  const std::string folder = std::filesystem::current_path(error).string();
  return error ? kRoot : folder;
}

// The entry of `drives` that holds `folder`: the longest mount point above it; -1 for none.
int holdingDrive(const std::vector<std::string>& drives, const std::string& folder) {
  int holding = -1;
  std::size_t longest = 0;
  for (std::size_t index = 0; index < drives.size(); ++index) {
    const std::string& drive = drives[index];
    const bool above =
        folder.compare(0, drive.size(), drive) == 0 &&
        (drive.size() == 1 || folder.size() == drive.size() || folder[drive.size()] == platform::kSeparator);
    if (above && drive.size() >= longest) {
      longest = drive.size();
      holding = static_cast<int>(index);
    }
  }
  return holding;
}
}  // namespace

void sortSubfolders(std::vector<std::string>& names) {
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const bool aDot = a.starts_with('.'), bDot = b.starts_with('.');
    return aDot != bDot ? bDot : a < b;
  });
}

void DirPresenter::open() {
  if (!m_view.openFolder(currentFolder())) m_view.openFolder(kRoot);
  m_drives = platform::environment().drives();
  m_view.showDrives(m_drives, holdingDrive(m_drives, m_view.openedFolder()));
}

void DirPresenter::driveChosen(int index) {
  if (index >= 0 && index < static_cast<int>(m_drives.size()))
    m_view.openFolder(m_drives[static_cast<std::size_t>(index)]);
}

void DirPresenter::accept() {
  setCustomScanFolder(m_view.openedFolder());
  core::mMain::WriteLog(CustomScanFolder() + " selected for custom scan");
  m_view.closeChooser();
}

void DirPresenter::cancel() {
  setCustomScanFolder(kCancelledChoice);
  m_view.closeChooser();
}

}  // namespace halvik::scan
