#pragma once

#include <windows.h>

#include <vector>

namespace halvik::platform::win32 {

// The user the process `process` runs as, kept in `storage`; null when its token cannot be read.
PSID processUser(HANDLE process, std::vector<unsigned char>& storage);

}  // namespace halvik::platform::win32
