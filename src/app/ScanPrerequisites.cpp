#include "app/ScanPrerequisites.h"

#include "app/CommandLine.h"
#include "app/HitLine.h"
#include "core/Locations.h"
#include "engine/CurrentSignatures.h"

namespace halvik::app {

bool scanPrerequisitesMet(std::ostream& err) {
  // Another user's folder would take this user's log and quarantine.
  if (const auto foreign = core::foreignDataFolder()) {
    err << message("dossier de donn\u00E9es qui n'est pas \u00E0 vous : " + escapedForLine(*foreign)) << '\n';
    return false;
  }
  // Without a valid set the walk would find nothing and report a clean tree.
  engine::reloadSignatures();
  if (!engine::haveSignatures()) {
    err << message("aucune base de signatures valide : " + escapedForLine(core::programFile(engine::kScanDatabase)) +
                   " est absente, vide, endommag\u00E9e ou illisible (voir --signatures)")
        << '\n';
    return false;
  }
  return true;
}

}  // namespace halvik::app
