#include "app/HeadlessWatch.h"

#include "app/CommandLine.h"
#include "app/HitLine.h"
#include "app/ScanPrerequisites.h"
#include "core/Settings.h"
#include "quarantine/WatchExemptions.h"
#include "scan/HitRepair.h"
#include "watch/CurrentSetLookup.h"
#include "watch/Watcher.h"

#include <csignal>

namespace halvik::app {
namespace {
watch::Watcher* g_running = nullptr;

extern "C" void stopWatch(int) {
  if (g_running) g_running->stop();
}

void report(const engine::mScanFiles::Hit& hit, bool repair, std::ostream& out) {
  if (!hit.entry || quarantine::IsExempt({hit.entry->id, platform::entryBirth(hit.path)})) return;
  out << hitLine(hit.threatName, hit.path) << '\n';
  if (repair) {
    const bool quarantined = core::settings::onWhenOne(core::settings::Key::Quarintine);
    out << repairedLine(scan::RepairHit(hit, quarantined), quarantined, hit.threatName, hit.path) << '\n';
  }
  out.flush();
}
}  // namespace

int runHeadlessWatch(const std::vector<std::string>& folders, bool repair, std::ostream& out, std::ostream& err) {
  if (!scanPrerequisitesMet(err)) return kUsageOrRunError;
  std::vector<watch::WatchedFolder> watched;
  for (const std::string& folder : folders) watched.push_back({folder, true});
  watch::Watcher watcher(
      std::move(watched), watch::currentSetThreat,
      {[&](const engine::mScanFiles::Hit& hit) { report(hit, repair, out); },
       [&] {
         err << message("limite de dossiers surveill\u00E9s atteinte : les nouveaux ne sont pas surveill\u00E9s")
             << '\n';
       }});
  platform::Status failure;
  if (!watcher.start(&failure)) {
    err << message("surveillance impossible : " + failure.text()) << '\n';
    return kUsageOrRunError;
  }
  err << message("surveillance en cours (SIGINT ou SIGTERM l'arr\u00EAte)") << std::endl;
  g_running = &watcher;
  std::signal(SIGINT, stopWatch);
  std::signal(SIGTERM, stopWatch);
  watcher.run();
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  g_running = nullptr;
  return kNothingFound;
}

}  // namespace halvik::app
