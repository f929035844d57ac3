#include "scan/ScanPresenter.h"

#include "core/Settings.h"
#include "core/mMain.h"
#include "engine/SignatureDb.h"
#include "platform/Ascii.h"
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
  return platform::upperCase(entry) + platform::kSeparator;
#else
  return entry;
#endif
}

// Walks one root and adds the folders it could not open to `unreadable`.
bool walk(const std::string& root, ScanView& view, double& unreadable) {
  const bool completed = engine::mScanFiles::StartScan(kPattern, root, view, [&view] { view.yield(); });
  unreadable += engine::mScanFiles::UnreadableFolders();
  return completed;
}

// The captions join the program's own words (UTF-8 here) to paths in the system's encoding:
// the words are turned into that encoding first. The end line says how many folders the scan could not open, so that a
// smaller count of scanned objects is never silent.
void finish(ScanView& view, const char* endCaption, double unreadable) {
  core::mMain::WriteLog("Scan Complete! Dossiers illisibles: " + core::settings::numberText(unreadable));
  view.setOperation(platform::systemText("Terminé"));
  view.setCurFile(platform::systemText(endCaption));
  view.finishResults();
}

// The results window through its handle, asked for again at every call: a window that is gone
// reads as hidden, lists no drive and takes nothing.
class Results : public ScanView {
 public:
  explicit Results(ScanPresenter::ResultsWindow window) : m_window(std::move(window)) {}

  bool visible() const override {
    ScanView* window = m_window();
    return window && window->visible();
  }
  void close() override { forward(&ScanView::close); }
  void setCurFile(const std::string& path) override { forward(&ScanView::setCurFile, path); }
  void setObjectsScanned(const std::string& count) override { forward(&ScanView::setObjectsScanned, count); }
  void setMaliciousObjects(const std::string& count) override { forward(&ScanView::setMaliciousObjects, count); }
  void addHit(const engine::mScanFiles::Hit& hit) override { forward(&ScanView::addHit, hit); }
  void addUnreadableFolder(const std::string& path) override { forward(&ScanView::addUnreadableFolder, path); }
  void clearResults() override { forward(&ScanView::clearResults); }
  std::vector<std::string> drives() const override {
    ScanView* window = m_window();
    return window ? window->drives() : std::vector<std::string>();
  }
  void setOperation(const std::string& text) override { forward(&ScanView::setOperation, text); }
  void finishResults() override { forward(&ScanView::finishResults); }
  void yield() override { forward(&ScanView::yield); }

 private:
  template <class Method, class... Args>
  void forward(Method method, const Args&... args) {
    if (ScanView* window = m_window()) (window->*method)(args...);
  }

  ScanPresenter::ResultsWindow m_window;
};

void scanAllDrives(ScanView& view) {
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
  // "Sacn" after the all-drives scan only, as the results window has always shown it: kept unchanged.
  finish(view, "-Sacn Terminé-", unreadable);
}

void scanCustomFolder(ScanView& view) {
  const std::string folder = g_customScanFolder;
  core::mMain::WriteLog("Scanning " + folder);
  view.setOperation("Scanner " + folder);
  // A cancelled choice walks nothing; the scan still ends as any other.
  double unreadable = 0;
  if (folder != kCancelledChoice) walk(folder, view, unreadable);
  finish(view, "-Scan Terminé-", unreadable);
}

void quickScan(ScanView& view) {
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

void ScanPresenter::run(ScanMode mode) {
  countScan();
  Results results(m_openResults());
  results.clearResults();
  // Upper case as the scan has always set it; section names fold case, so this is the databases' "Scanfiles".
  engine::SignatureDb.setSection("SCANFILES");
  engine::reloadSignatures();
  switch (mode) {
    case ScanMode::AllDrives: scanAllDrives(results); break;
    case ScanMode::CustomFolder: scanCustomFolder(results); break;
    case ScanMode::QuickScan: quickScan(results); break;
  }
}

void ScanPresenter::countScan() {
  const std::string total = core::settings::numberText(core::settings::readNumber(core::settings::Key::TotalScans) + 1);
  core::settings::write(core::settings::Key::TotalScans, total);
  m_status.showTotalScans(total);
}

}  // namespace halvik::scan
