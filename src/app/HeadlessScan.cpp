#include "app/HeadlessScan.h"

#include "app/CommandLine.h"
#include "app/HitLine.h"
#include "app/ScanDatabase.h"
#include "core/Locations.h"
#include "core/Settings.h"
#include "engine/SignatureDb.h"
#include "engine/mScanFiles.h"
#include "scan/RepairPass.h"
#include "scan/ScanPresenter.h"

#include <fstream>

namespace halvik::app {
namespace {

struct Hit {
  engine::mScanFiles::Hit found;
  int image = scan::kImageFound;
};

// The results window, seen from a terminal: hits are written as they are found and kept for the
// repair pass; captions and yields have nowhere to go.
class TerminalScanView : public scan::ScanView {
 public:
  TerminalScanView(std::ostream& out, std::vector<Hit>& hits) : m_out(out), m_hits(hits) {}

  bool visible() const override { return true; }
  void close() override {}
  void setCurFile(const std::string&) override {}
  void setObjectsScanned(const std::string&) override {}
  void setMaliciousObjects(const std::string&) override {}
  void addHit(const engine::mScanFiles::Hit& hit) override {
    m_hits.push_back({hit});
    m_out << hitLine(hit.threatName, hit.path) << '\n';
  }
  void clearResults() override {}
  std::vector<std::string> drives() const override { return {}; }
  void setOperation(const std::string&) override {}
  void finishResults() override {}
  void yield() override {}

 private:
  std::ostream& m_out;
  std::vector<Hit>& m_hits;
};

// A terminal has no status page: the counts are only stored.
class NoStatusCounters : public core::StatusCounters {
 public:
  void showTotalScans(const std::string&) override {}
  void showObjectsRemoved(const std::string&) override {}
  void refreshQuarantineCount() override {}
};

// The results list of a terminal scan: every hit is a ticked row.
class TerminalRepairView : public scan::RepairView {
 public:
  explicit TerminalRepairView(std::vector<Hit>& hits) : m_hits(hits) {}

  int rowCount() const override { return static_cast<int>(m_hits.size()); }
  bool rowChecked(int) const override { return true; }
  int rowImage(int row) const override { return m_hits[static_cast<std::size_t>(row)].image; }
  engine::mScanFiles::Hit rowHit(int row) const override { return m_hits[static_cast<std::size_t>(row)].found; }
  void setRowImage(int row, int image) override { m_hits[static_cast<std::size_t>(row)].image = image; }
  std::string tag() const override { return m_tag; }
  void setTag(const std::string& tag) override { m_tag = tag; }
  void hide() override {}
  void showObjectsRemoved(const std::string&) override {}
  void quarantineChanged() override {}

 private:
  std::vector<Hit>& m_hits;
  std::string m_tag;
};

void repairAll(std::vector<Hit>& hits, std::ostream& out) {
  const bool quarantine = core::settings::onWhenOne(core::settings::Key::Quarintine);
  TerminalRepairView view(hits);
  scan::RunRepair(view);
  for (const Hit& hit : hits)
    out << repairedLine(hit.image == scan::kImageRemoved, quarantine, hit.found.threatName, hit.found.path) << '\n';
}

}  // namespace

int runHeadlessScan(const std::vector<std::string>& folders, bool repair, std::ostream& out, std::ostream& err) {
  const auto database = readableScanDatabase(err);
  if (!database) return kUsageOrRunError;
  engine::SignatureDb.setPath(*database);
  std::vector<Hit> hits;
  TerminalScanView view(out, hits);
  NoStatusCounters status;
  scan::ScanPresenter presenter(status, [&view] { return [&view]() -> scan::ScanView* { return &view; }; });
  double scanned = 0;
  double unreadable = 0;
  for (const std::string& folder : folders) {
    scan::setCustomScanFolder(folder);
    presenter.run(scan::ScanMode::CustomFolder);
    scanned += engine::mScanFiles::ObjectsScanned();
    unreadable += engine::mScanFiles::UnreadableFolders();
  }
  if (repair) repairAll(hits, out);
  out.flush();
  err << "Objets Scann\u00E9s: " << core::settings::numberText(scanned) << '\n'
      << "Objets malicieux: " << hits.size() << '\n'
      << "Dossiers illisibles: " << core::settings::numberText(unreadable) << '\n';
  return hits.empty() ? kNothingFound : kSomethingFound;
}

}  // namespace halvik::app
