#include "scan/ScanDriver.h"

#include "core/Settings.h"
#include "core/mMain.h"
#include "engine/SignatureDb.h"
#include "platform/Platform.h"
#include "platform/SystemText.h"

namespace scan {
namespace {
std::string g_customScanFolder;

constexpr const char* kPattern = "*.*";

// The root of a drive list entry: on Windows the entry in upper case and a separator ("C:\");
// elsewhere the mount point as it stands, since paths are not upper-cased there.
std::string driveRoot(const std::string& entry) {
#ifdef _WIN32
  return UpperCase(entry) + platform::kSeparator;
#else
  return entry;
#endif
}

void countScan(ScanDriverView& view) {
  const std::string total = settings::numberText(settings::readNumber(settings::TotalScans) + 1);
  settings::write(settings::TotalScans, total);
  view.showTotalScans(total);
}

bool walk(const std::string& root, ScanDriverView& view) {
  return mScanFiles::StartScan(kPattern, root, view, [&view] { view.yield(); });
}

// The captions join the program's own words (UTF-8 here) to paths in the system's encoding:
// the words are turned into that encoding first.
void finish(ScanDriverView& view, const char* endCaption) {
  mMain::WriteLog("Scan Complete!");
  view.setOperation(platform::systemText("Terminé"));
  view.setCurFile(platform::systemText(endCaption));
  view.finishResults();
}

void scanAllDrives(ScanDriverView& view) {
  settings::write(settings::LastSystemScan, platform::shortDate());
  mMain::WriteLog("Scanning all drives...");
  view.setOperation("Scanner tous les lecteurs...");
  for (const std::string& entry : view.drives()) {
    const std::string root = driveRoot(entry);
    mMain::WriteLog("Scanning drive " + root);
    view.setOperation(platform::systemText("Lecteur Scanné ") + root);
    const bool completed = walk(root, view);
    view.yield();
    if (!completed) break;  // "Annuler" ends the whole scan
  }
  finish(view, "-Sacn Terminé-");
}

void scanCustomFolder(ScanDriverView& view) {
  const std::string folder = g_customScanFolder;
  mMain::WriteLog("Scanning " + folder);
  view.setOperation("Scanner " + folder);
  // A cancelled choice walks nothing; the scan still ends as any other.
  if (folder != kCancelledChoice) walk(folder, view);
  finish(view, "-Scan Terminé-");
}

void quickScan(ScanDriverView& view) {
  const std::string folder = scanRoots().windowsFolder();
  mMain::WriteLog("Scanning Quick Search");
  view.setOperation("Scan Windows");
  walk(folder, view);
  finish(view, "-Scan Terminé-");
}
}  // namespace

const std::string& CustomScanFolder() { return g_customScanFolder; }
void setCustomScanFolder(const std::string& folder) { g_customScanFolder = folder; }

ScanRoots& scanRoots() {
  static ScanRoots roots{platform::drives, platform::windowsFolder};
  return roots;
}

void RunScan(ScanMode mode, ScanDriverView& view) {
  countScan(view);
  view.reopenResults();
  view.clearResults();
  SignatureDb.setSection("SCANFILES");
  switch (mode) {
    case ScanMode::AllDrives: scanAllDrives(view); break;
    case ScanMode::CustomFolder: scanCustomFolder(view); break;
    case ScanMode::QuickScan: quickScan(view); break;
  }
}

}  // namespace scan
