#pragma once

#include "watch/Watcher.h"

#include <string>

namespace halvik::watch {

// The walk's lookup in the signature database `database` (section "Scanfiles", the bare name in
// upper case; a name with blanks at either end is never a hit), through a reader of its own so
// that the watch may run on a thread of its own.
Lookup databaseLookup(const std::string& database);

}  // namespace halvik::watch
