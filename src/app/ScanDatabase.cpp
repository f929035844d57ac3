#include "app/ScanDatabase.h"

#include "app/CommandLine.h"
#include "app/HitLine.h"
#include "core/Locations.h"
#include "engine/SignatureDb.h"

#include <fstream>

namespace halvik::app {

std::optional<std::string> readableScanDatabase(std::ostream& err) {
  const std::string database = core::programFile(engine::kScanDatabase);
  if (std::ifstream(database, std::ios::binary)) return database;
  err << message("base de signatures illisible : " + escapedForLine(database)) << '\n';
  return std::nullopt;
}

}  // namespace halvik::app
