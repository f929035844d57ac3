#pragma once

#include <optional>
#include <ostream>
#include <string>

namespace halvik::app {

// The program folder's scan database, when it can be read; otherwise nullopt, and `err` gets the
// message (a database that cannot be read would find nothing and report a clean tree).
std::optional<std::string> readableScanDatabase(std::ostream& err);

}  // namespace halvik::app
