#pragma once

#include <ostream>

namespace halvik::app {

// Whether a scan or a watch without a window may run: the data folder is the user's own and a
// valid signature set is found (the set is loaded again first). Otherwise `err` gets the French
// line that says why and the run ends with kUsageOrRunError.
bool scanPrerequisitesMet(std::ostream& err);

}  // namespace halvik::app
