#include "watch/CurrentSetLookup.h"

#include "engine/CurrentSignatures.h"

namespace halvik::watch {

std::string currentSetThreat(std::string_view bareName) { return engine::currentSignatures()->lookup(bareName); }

}  // namespace halvik::watch
