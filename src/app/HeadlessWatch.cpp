#include "app/HeadlessWatch.h"

#include "app/JsonReport.h"
#include "app/ScanPrerequisites.h"
#include "app/TextReport.h"
#include "core/Settings.h"
#include "engine/CurrentSignatures.h"
#include "quarantine/WatchExemptions.h"
#include "scan/HitRepair.h"
#include "watch/CurrentSetLookup.h"
#include "watch/Watcher.h"

#include <csignal>
#include <memory>

namespace halvik::app {
namespace {
watch::Watcher* g_running = nullptr;

extern "C" void stopWatch(int) {
  if (g_running) g_running->stop();
}

HitAction actionOf(scan::RepairOutcome outcome, bool quarantined) {
  switch (outcome) {
    case scan::RepairOutcome::Removed: return quarantined ? HitAction::Quarantined : HitAction::Removed;
    case scan::RepairOutcome::Gone: return HitAction::Gone;
    case scan::RepairOutcome::Kept:
    case scan::RepairOutcome::Changed: break;
  }
  return HitAction::NotRemoved;
}

// Reports each hit of the watcher and repairs it when asked; once `out` fails nothing more is
// reported or removed, and the watch is to stop.
class WatchReport {
 public:
  WatchReport(ScanReport& report, bool repair, std::ostream& out) : m_report(report), m_repair(repair), m_out(out) {}

  // False once `out` cannot be written.
  bool found(const engine::mScanFiles::Hit& hit) {
    if (!m_out) return false;
    if (!hit.entry || quarantine::IsExempt({hit.entry->id, platform::entryBirth(hit.path)})) return true;
    ++m_hits;
    m_report.hit(hit);
    m_out.flush();
    if (m_repair && m_out) {
      const bool quarantined = core::settings::onWhenOne(core::settings::Key::Quarintine);
      m_report.repaired(hit, actionOf(scan::RepairHit(hit, quarantined), quarantined));
      m_out.flush();
    }
    return m_out.good();
  }
  std::uint64_t hits() const { return m_hits; }

 private:
  ScanReport& m_report;
  bool m_repair;
  std::ostream& m_out;
  std::uint64_t m_hits = 0;
};

std::unique_ptr<ScanReport> reportFor(Format format, bool repair, std::ostream& out, std::ostream& err) {
  if (format == Format::Json) return std::make_unique<JsonReport>(out, false, repair);
  return std::make_unique<TextReport>(out, err, true, false);
}

void runUntilStopped(watch::Watcher& watcher) {
  g_running = &watcher;
  std::signal(SIGINT, stopWatch);
  std::signal(SIGTERM, stopWatch);
  watcher.run();
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  g_running = nullptr;
}
}  // namespace

int runHeadlessWatch(const std::vector<std::string>& folders, bool repair, Format format, std::ostream& out,
                     std::ostream& err) {
  if (!scanPrerequisitesMet(err)) return kUsageOrRunError;
  const std::unique_ptr<ScanReport> report = reportFor(format, repair, out, err);
  WatchReport reported(*report, repair, out);
  std::vector<watch::WatchedFolder> watched;
  for (const std::string& folder : folders) watched.push_back({folder, true});
  watch::Watcher watcher(
      std::move(watched), watch::currentSetThreat,
      {[&](const engine::mScanFiles::Hit& hit) {
         if (!reported.found(hit)) watcher.stop();
       },
       [&] {
         err << message("limite de dossiers surveill\u00E9s atteinte : les nouveaux ne sont pas surveill\u00E9s")
             << '\n';
       }});
  platform::Status failure;
  if (!watcher.start(&failure)) {
    err << message("surveillance impossible : " + failure.text()) << '\n';
    return kUsageOrRunError;
  }
  ScanSummary summary;
  summary.started = std::chrono::system_clock::now();
  summary.signaturesVersion = engine::currentSignatures()->version();
  err << message("surveillance en cours (SIGINT ou SIGTERM l'arr\u00EAte)") << std::endl;
  runUntilStopped(watcher);
  summary.hits = reported.hits();
  summary.ended = std::chrono::system_clock::now();
  if (out) report->summary(summary);
  if (out) return kNothingFound;
  err << message("la sortie standard n'a pas pu \u00EAtre \u00E9crite") << '\n';
  return kUsageOrRunError;
}

}  // namespace halvik::app
