#include "scan/ScanDriver.h"

#include "core/Settings.h"
#include "core/mMain.h"
#include "engine/SignatureDb.h"
#include "platform/Environment.h"
#include "platform/Platform.h"
#include "platform/SystemText.h"

namespace halvik::scan {
namespace {
std::string g_customScanFolder;

constexpr const char* kPattern = "*.*";

// The root of a drive list entry: on Windows the entry in upper case and a separator ("C:\");
// elsewhere the mount point as it stands, since paths are not upper-cased there.
std::string driveRoot(const std::string& entry) {
#ifdef _WIN32
  return engine::UpperCase(entry) + platform::kSeparator;
#else
  return entry;
#endif
}

void countScan(ScanDriverView& view) {
  const std::string total = core::settings::numberText(core::settings::readNumber(core::settings::Key::TotalScans) + 1);
  core::settings::write(core::settings::Key::TotalScans, total);
  view.showTotalScans(total);
}

// Walks one root and adds the folders it could not open to `unreadable`.
bool walk(const std::string& root, ScanDriverView& view, double& unreadable) {
  const bool completed = engine::mScanFiles::StartScan(kPattern, root, view, [&view] { view.yield(); });
  unreadable += engine::mScanFiles::UnreadableFolders();
  return completed;
}

// The captions join the program's own words (UTF-8 here) to paths in the system's encoding:
// the words are turned into that encoding first. The end line says how many folders the scan could not open, so that a smaller count of
// scanned objects is never silent.
void finish(ScanDriverView& view, const char* endCaption, double unreadable) {
  core::mMain::WriteLog("Scan Complete! Dossiers illisibles: " + core::settings::numberText(unreadable));
  view.setOperation(platform::systemText("Terminé"));
  view.setCurFile(platform::systemText(endCaption));
  view.finishResults();
}

void scanAllDrives(ScanDriverView& view) {
  core::settings::write(core::settings::Key::LastSystemScan, platform::shortDate());
  core::mMain::WriteLog("Scanning all drives...");
  view.setOperation("Scanner tous les lecteurs...");
  double unreadable = 0;
  for (const std::string& entry : view.drives()) {
    const std::string root = driveRoot(entry);
    core::mMain::WriteLog("Scanning drive " + root);
    view.setOperation(platform::systemText("Lecteur Scanné ") + root);
    const bool completed = walk(root, view, unreadable);
    view.yield();
    if (!completed) break;  // "Annuler" ends the whole scan
  }
  finish(view, "-Sacn Terminé-", unreadable);
}

void scanCustomFolder(ScanDriverView& view) {
  const std::string folder = g_customScanFolder;
  core::mMain::WriteLog("Scanning " + folder);
  view.setOperation("Scanner " + folder);
  // A cancelled choice walks nothing; the scan still ends as any other.
  double unreadable = 0;
  if (folder != kCancelledChoice) walk(folder, view, unreadable);
  finish(view, "-Scan Terminé-", unreadable);
}

void quickScan(ScanDriverView& view) {
  const std::string folder = platform::environment().windowsFolder();
  core::mMain::WriteLog("Scanning Quick Search");
  view.setOperation("Scan Windows");
  double unreadable = 0;
  walk(folder, view, unreadable);
  finish(view, "-Scan Terminé-", unreadable);
}
}  // namespace

const std::string& CustomScanFolder() { return g_customScanFolder; }
void setCustomScanFolder(const std::string& folder) { g_customScanFolder = folder; }

void RunScan(ScanMode mode, ScanDriverView& view) {
  countScan(view);
  view.reopenResults();
  view.clearResults();
  engine::SignatureDb.setSection("SCANFILES");
  switch (mode) {
    case ScanMode::AllDrives: scanAllDrives(view); break;
    case ScanMode::CustomFolder: scanCustomFolder(view); break;
    case ScanMode::QuickScan: quickScan(view); break;
  }
}

}  // namespace halvik::scan
