#include "platform/SystemText.h"

namespace halvik::platform {

std::string systemText(const std::string& utf8) { return utf8; }

std::size_t rootLength(const std::string& path) { return !path.empty() && path[0] == '/' ? 1 : 0; }

}  // namespace halvik::platform
