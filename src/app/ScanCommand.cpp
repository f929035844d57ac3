#include "app/ScanCommand.h"

#include "app/CommandLine.h"
#include "app/HitLine.h"
#include "app/JsonReport.h"
#include "app/ProgressLine.h"
#include "app/ProgressReport.h"
#include "app/ScanPrerequisites.h"
#include "app/TextReport.h"
#include "core/Locations.h"
#include "core/Settings.h"
#include "core/mMain.h"
#include "engine/CurrentSignatures.h"
#include "engine/ParallelWalk.h"
#include "platform/Ascii.h"
#include "platform/Environment.h"
#include "platform/FolderCheck.h"
#include "platform/Platform.h"
#include "platform/Terminal.h"
#include "scan/RepairPass.h"
#include "scan/ScanPresenter.h"

#include <algorithm>
#include <fstream>
#include <memory>
#include <thread>

namespace halvik::app {
namespace {
using engine::mScanFiles::Hit;
using Progress = std::function<void(const engine::WalkCounts&, const std::string&)>;

// Threads per core a walk may grow to while it waits on the disk, unless --jobs fixes them.
constexpr unsigned kWaitingJobsPerCore = 4;

// Forwards the walk's events to the report and keeps every hit for the repair pass.
class KeptHits : public engine::WalkSink {
 public:
  explicit KeptHits(ScanReport& report) : m_report(report) {}

  void hit(const Hit& hit) override {
    m_hits.push_back(hit);
    m_report.hit(hit);
  }
  void unreadable(const std::string& path) override { m_report.unreadable(path); }
  void excluded(const std::string& path) override { m_report.excluded(path); }

  std::vector<Hit>& hits() { return m_hits; }

 private:
  ScanReport& m_report;
  std::vector<Hit> m_hits;
};

// The results list of a terminal scan: every hit is a ticked row, and what the repair did with
// it is reported as soon as it is handled (with the quarantine on, once its batch is done). Once standard output cannot
// be written no row is ticked any more, so nothing more is deleted without being told.
class TerminalRepairView : public scan::RepairView {
 public:
  TerminalRepairView(const std::vector<Hit>& hits, ScanReport& report, std::ostream& out)
      : m_hits(hits),
        m_report(report),
        m_out(out),
        m_images(hits.size(), scan::kImageFound),
        m_gone(hits.size(), false),
        m_quarantine(core::settings::onWhenOne(core::settings::Key::Quarintine)) {}

  int rowCount() const override { return static_cast<int>(m_hits.size()); }
  bool rowChecked(int) const override { return m_out.good(); }
  int rowImage(int row) const override { return m_images[static_cast<std::size_t>(row)]; }
  Hit rowHit(int row) const override { return m_hits[static_cast<std::size_t>(row)]; }
  void setRowImage(int row, int image) override {
    const auto index = static_cast<std::size_t>(row);
    m_images[index] = image;
    m_report.repaired(m_hits[index], actionOf(index));
    m_out.flush();
  }
  void rowGone(int row) override { m_gone[static_cast<std::size_t>(row)] = true; }
  std::string tag() const override { return m_tag; }
  void setTag(const std::string& tag) override { m_tag = tag; }
  void hide() override {}
  void showObjectsRemoved(const std::string&) override {}
  void quarantineChanged() override {}

 private:
  HitAction actionOf(std::size_t index) const {
    if (m_gone[index]) return HitAction::Gone;
    if (m_images[index] != scan::kImageRemoved) return HitAction::NotRemoved;
    return m_quarantine ? HitAction::Quarantined : HitAction::Removed;
  }

  const std::vector<Hit>& m_hits;
  ScanReport& m_report;
  std::ostream& m_out;
  std::vector<int> m_images;
  std::vector<bool> m_gone;
  bool m_quarantine;
  std::string m_tag;
};

void countScan() {
  const double total = core::settings::readNumber(core::settings::Key::TotalScans) + 1;
  core::settings::write(core::settings::Key::TotalScans, core::settings::numberText(total));
}

engine::WalkCounts walkRoot(const std::string& root, const engine::WalkOptions& walk, engine::WalkSink& sink) {
  if (platform::isFolder(root, platform::Links::Followed)) return engine::WalkInParallel(root, walk, sink);
  return engine::LookUpFile(root, walk, sink);
}

void logEnd(const engine::WalkCounts& counts) {
  core::mMain::WriteLog("Scan Complete! Dossiers illisibles: " +
                            core::settings::numberText(static_cast<double>(counts.unreadable)),
                        {core::LogKind::ScanEnd, {}, {}, {}, engine::currentSignatures()->version()});
}

// The roots in the order given, each real folder once however many names it is given.
std::vector<std::string> distinctRoots(const std::vector<std::string>& roots) {
  std::vector<std::string> distinct;
  std::vector<platform::FolderId> seen;
  for (const std::string& root : roots) {
    const platform::FolderHandle opened = platform::FolderHandle::open(root);
    if (opened.valid() && std::find(seen.begin(), seen.end(), opened.id()) != seen.end()) continue;
    if (opened.valid()) seen.push_back(opened.id());
    distinct.push_back(root);
  }
  return distinct;
}

// Each root is one scan, as a custom scan of the window.
engine::WalkCounts scanRoots(const std::vector<std::string>& roots, const engine::WalkOptions& walk,
                             engine::WalkSink& sink) {
  engine::WalkCounts total;
  for (const std::string& root : distinctRoots(roots)) {
    countScan();
    core::mMain::WriteLog("Scanning " + root, {core::LogKind::ScanStart, {}, root});
    const engine::WalkCounts counts = walkRoot(root, walk, sink);
    logEnd(counts);
    total += counts;
  }
  return total;
}

// One scan of every drive, as the window's all-drives scan.
engine::WalkCounts scanAllDrives(const engine::WalkOptions& walk, engine::WalkSink& sink) {
  countScan();
  core::settings::write(core::settings::Key::LastSystemScan, platform::shortDate());
  core::mMain::WriteLog("Scanning all drives...", {core::LogKind::ScanStart});
  engine::WalkCounts total;
  for (const std::string& entry : platform::environment().drives()) {
    const std::string root = scan::DriveRoot(entry);
    core::mMain::WriteLog("Scanning drive " + root);
    total += engine::WalkInParallel(root, walk, sink);
  }
  logEnd(total);
  return total;
}

// The scan itself, once the signatures are known to be there: the walk of every root, the
// repair when asked (not once `out` has failed), the summary. The exit status, or nullopt when
// `out` could not be written.
std::optional<int> scan(const ScanOptions& options, ScanReport& report, const Progress& progress, std::ostream& out) {
  // One set for the whole scan, looked up from every thread of the walk.
  const std::shared_ptr<const engine::SignatureSet> signatures = engine::currentSignatures();
  KeptHits kept(report);
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  const engine::WalkOptions walk{options.jobs == 0 ? cores : options.jobs,
                                 [signatures](std::string_view name) { return signatures->lookup(name); },
                                 options.exclusions.empty() ? nullptr : &options.exclusions, progress,
                                 options.jobs == 0 ? kWaitingJobsPerCore * cores : options.jobs};
  ScanSummary summary;
  summary.started = std::chrono::system_clock::now();
  const engine::WalkCounts counts =
      options.allDrives ? scanAllDrives(walk, kept) : scanRoots(options.roots, walk, kept);
  out.flush();
  if (options.repair && out) {
    TerminalRepairView view(kept.hits(), report, out);
    scan::RunRepair(view);
  }
  if (!out) return std::nullopt;
  summary.scanned = counts.scanned;
  summary.hits = counts.hits;
  summary.unreadable = counts.unreadable;
  summary.excluded = counts.excluded;
  summary.signaturesVersion = signatures->version();
  summary.ended = std::chrono::system_clock::now();
  summary.status = counts.hits == 0 ? kNothingFound : kSomethingFound;
  report.summary(summary);
  out.flush();
  if (!out) return std::nullopt;
  return summary.status;
}

// The exit status of a scan; a full disk or a closed output is a run error, since what was found
// or done was not all told.
int told(const std::optional<int>& status, std::ostream& err) {
  if (status) return *status;
  err << message("la sortie standard n'a pas pu \u00EAtre \u00E9crite") << '\n';
  return kUsageOrRunError;
}

std::unique_ptr<ScanReport> reportFor(const ScanOptions& options, std::ostream& out, std::ostream& err) {
  if (options.json) return std::make_unique<JsonReport>(out, options.quiet, options.repair);
  return std::make_unique<TextReport>(out, err, options.quiet, !options.exclusions.empty());
}

// Adds the patterns of the exclusion file `path`: one a line, blank lines and lines starting
// with "#" ignored.
bool readExclusions(const std::string& path, engine::PathMatcher& exclusions) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (platform::trimmed(line).empty() || line.front() == '#') continue;
    exclusions.add(line);
  }
  return !file.bad();
}
}  // namespace

std::optional<ScanOptions> scanOptions(const Request& request, const std::vector<std::string>& roots,
                                       std::string& problem) {
  ScanOptions options{roots, request.allDrives, request.repair, request.format == Format::Json, request.quiet,
                      {},    request.jobs};
  options.progress = platform::standardErrorIsTerminal();
  for (const std::string& pattern : request.excludes) options.exclusions.add(pattern);
  for (const std::string& file : request.excludeFiles) {
    if (!readExclusions(file, options.exclusions)) {
      problem = message("fichier d'exclusions illisible : \u00AB " + escapedForLine(file) + " \u00BB");
      return std::nullopt;
    }
  }
  return options;
}

std::optional<std::string> firstScanPathProblem(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    const auto attributes = path.empty() ? std::nullopt : platform::fileAttributes(path);
    if (!attributes) return message("\u00AB " + escapedForLine(path) + " \u00BB n'existe pas");
    if (platform::isFolder(path, platform::Links::Followed) && !platform::FolderHandle::open(path).valid())
      return message("\u00AB " + escapedForLine(path) + " \u00BB ne peut pas \u00EAtre ouvert");
  }
  return std::nullopt;
}

int runScanCommand(const ScanOptions& options, std::ostream& out, std::ostream& err) {
  if (!scanPrerequisitesMet(err)) return kUsageOrRunError;
  const std::unique_ptr<ScanReport> report = reportFor(options, out, err);
  if (options.quiet || !options.progress) return told(scan(options, *report, {}, out), err);
  ProgressLine line(err, platform::standardErrorColumns(), platform::environment().clock.now);
  ProgressReport withLine(*report, line);
  const std::optional<int> status = scan(
      options, withLine,
      [&line](const engine::WalkCounts& counts, const std::string& folder) { line.update(counts, folder); }, out);
  if (!status) line.clear();
  return told(status, err);
}

}  // namespace halvik::app
