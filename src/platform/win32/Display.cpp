#include "platform/Display.h"

namespace halvik::platform {

bool displayNamed() { return true; }

}  // namespace halvik::platform
