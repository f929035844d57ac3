#include "platform/Display.h"

#include <cstdlib>

namespace halvik::platform {

namespace {
bool set(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}
}  // namespace

bool displayNamed() { return set("DISPLAY") || set("WAYLAND_DISPLAY"); }

}  // namespace halvik::platform
