#pragma once

#include <ostream>
#include <string>

// The command line's --update and --rollback: the outcome on standard output, a refusal on
// standard error with its reason; exit status 0 (installed, or already current) or 2.
namespace halvik::app {

// `source` empty: the stored feed ("SignatureFeed").
int runUpdate(const std::string& source, std::ostream& out, std::ostream& err);
int runRollback(std::ostream& out, std::ostream& err);

}  // namespace halvik::app
