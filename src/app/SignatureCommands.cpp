#include "app/SignatureCommands.h"

#include "app/CommandLine.h"
#include "app/HitLine.h"
#include "core/Settings.h"
#include "engine/SignatureUpdate.h"

namespace halvik::app {
namespace {
int report(const engine::UpdateOutcome& outcome, std::ostream& out, std::ostream& err) {
  // Paths and the library's reasons inside the line are escaped like every line we write.
  (outcome.succeeded() ? out : err) << message(escapedForLine(outcome.message)) << '\n';
  return outcome.succeeded() ? kNothingFound : kUsageOrRunError;
}
}  // namespace

int runUpdate(const std::string& source, std::ostream& out, std::ostream& err) {
  const std::string feed = source.empty() ? core::settings::read(core::settings::Key::SignatureFeed) : source;
  if (feed.empty()) {
    err << message("aucun flux de signatures n'est r\u00E9gl\u00E9 (SignatureFeed)") << '\n';
    return kUsageOrRunError;
  }
  return report(engine::updateSignatures(feed), out, err);
}

int runRollback(std::ostream& out, std::ostream& err) { return report(engine::rollbackSignatures(), out, err); }

}  // namespace halvik::app
