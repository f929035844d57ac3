#include "app/HeadlessScan.h"

#include "app/CommandLine.h"
#include "app/HitLine.h"
#include "app/ScanPrerequisites.h"
#include "core/Locations.h"
#include "core/Settings.h"
#include "engine/SignatureDb.h"
#include "engine/mScanFiles.h"
#include "platform/Platform.h"
#include "scan/RepairPass.h"
#include "scan/ScanPresenter.h"

#include <algorithm>

namespace halvik::app {
namespace {

struct Hit {
  engine::mScanFiles::Hit found;
  int image = scan::kImageFound;
  bool gone = false;  // gone before the repair reached it
};

// The results window, seen from a terminal: hits are written as they are found and kept for the
// repair pass; captions and yields have nowhere to go.
class TerminalScanView : public scan::ScanView {
 public:
  TerminalScanView(std::ostream& out, std::ostream& err, std::vector<Hit>& hits)
      : m_out(out), m_err(err), m_hits(hits) {}

  bool visible() const override { return true; }
  void close() override {}
  void setCurFile(const std::string&) override {}
  void setObjectsScanned(const std::string&) override {}
  void setMaliciousObjects(const std::string&) override {}
  void addHit(const engine::mScanFiles::Hit& hit) override {
    m_hits.push_back({hit});
    m_out << hitLine(hit.threatName, hit.path) << '\n';
  }
  void addUnreadableFolder(const std::string& path) override {
    m_err << message("dossier illisible : " + escapedForLine(path)) << '\n';
  }
  void clearResults() override {}
  std::vector<std::string> drives() const override { return {}; }
  void setOperation(const std::string&) override {}
  void finishResults() override {}
  void yield() override {}

 private:
  std::ostream& m_out;
  std::ostream& m_err;
  std::vector<Hit>& m_hits;
};

// A terminal has no status page: the counts are only stored.
class NoStatusCounters : public core::StatusCounters {
 public:
  void showTotalScans(const std::string&) override {}
  void showObjectsRemoved(const std::string&) override {}
  void refreshQuarantineCount() override {}
};

// The results list of a terminal scan: every hit is a ticked row, and its verdict line is written
// as soon as it is handled. Once a line cannot be written no row is ticked any more, so nothing
// more is deleted without being told.
class TerminalRepairView : public scan::RepairView {
 public:
  TerminalRepairView(std::vector<Hit>& hits, std::ostream& out)
      : m_hits(hits), m_out(out), m_quarantine(core::settings::onWhenOne(core::settings::Key::Quarintine)) {}

  int rowCount() const override { return static_cast<int>(m_hits.size()); }
  bool rowChecked(int) const override { return m_out.good(); }
  int rowImage(int row) const override { return m_hits[static_cast<std::size_t>(row)].image; }
  engine::mScanFiles::Hit rowHit(int row) const override { return m_hits[static_cast<std::size_t>(row)].found; }
  void setRowImage(int row, int image) override {
    Hit& hit = m_hits[static_cast<std::size_t>(row)];
    hit.image = image;
    const scan::RepairOutcome outcome = hit.gone                       ? scan::RepairOutcome::Gone
                                        : image == scan::kImageRemoved ? scan::RepairOutcome::Removed
                                                                       : scan::RepairOutcome::Kept;
    m_out << repairedLine(outcome, m_quarantine, hit.found.threatName, hit.found.path) << '\n';
    m_out.flush();
  }
  void rowGone(int row) override { m_hits[static_cast<std::size_t>(row)].gone = true; }
  std::string tag() const override { return m_tag; }
  void setTag(const std::string& tag) override { m_tag = tag; }
  void hide() override {}
  void showObjectsRemoved(const std::string&) override {}
  void quarantineChanged() override {}

 private:
  std::vector<Hit>& m_hits;
  std::ostream& m_out;
  bool m_quarantine;
  std::string m_tag;
};

// The folders in the order given, each real folder once however many names it is given.
std::vector<std::string> distinctFolders(const std::vector<std::string>& folders) {
  std::vector<std::string> distinct;
  std::vector<platform::FolderId> seen;
  for (const std::string& folder : folders) {
    const platform::FolderHandle opened = platform::FolderHandle::open(folder);
    if (opened.valid() && std::find(seen.begin(), seen.end(), opened.id()) != seen.end()) continue;
    if (opened.valid()) seen.push_back(opened.id());
    distinct.push_back(folder);
  }
  return distinct;
}

}  // namespace

int runHeadlessScan(const std::vector<std::string>& folders, bool repair, std::ostream& out, std::ostream& err) {
  if (!scanPrerequisitesMet(err)) return kUsageOrRunError;
  engine::SignatureDb.setPath(core::programFile(engine::kScanDatabase));
  std::vector<Hit> hits;
  TerminalScanView view(out, err, hits);
  NoStatusCounters status;
  scan::ScanPresenter presenter(status, [&view] { return [&view]() -> scan::ScanView* { return &view; }; });
  double scanned = 0;
  double unreadable = 0;
  for (const std::string& folder : distinctFolders(folders)) {
    scan::setCustomScanFolder(folder);
    presenter.run(scan::ScanMode::CustomFolder);
    scanned += engine::mScanFiles::ObjectsScanned();
    unreadable += engine::mScanFiles::UnreadableFolders();
  }
  out.flush();
  if (out && repair) {
    TerminalRepairView repairView(hits, out);
    scan::RunRepair(repairView);
  }
  // A full disk or a closed output: what was found or done was not all told.
  if (!out) {
    err << message("la sortie standard n'a pas pu \u00EAtre \u00E9crite") << '\n';
    return kUsageOrRunError;
  }
  err << "Objets Scann\u00E9s: " << core::settings::numberText(scanned) << '\n'
      << "Objets malicieux: " << hits.size() << '\n'
      << "Dossiers illisibles: " << core::settings::numberText(unreadable) << '\n';
  return hits.empty() ? kNothingFound : kSomethingFound;
}

}  // namespace halvik::app
