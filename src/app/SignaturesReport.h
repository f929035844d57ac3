#pragma once

#include <ostream>

// --signatures: the signature set in use (version, date, number of names, the folder it came
// from) and what was found in the other places, each valid or with the reason it is refused.
namespace halvik::app {

// Loads the sets again and writes the report to `out`. The result is the exit status: 0 when a
// valid set is in use, 2 when there is none.
int reportSignatures(std::ostream& out);

}  // namespace halvik::app
