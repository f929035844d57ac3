#pragma once

#include <string>

namespace halvik::platform::win32 {

// Removes from `folder` the temporary files that writers killed before their rename left
// behind: files named as ours are (platform::isTemporaryName), last written over a minute ago,
// never a reparse point or a folder; nothing else is touched. Failures are silent: litter only
// stays.
void sweepStaleTemporaries(const std::string& folder);

}  // namespace halvik::platform::win32
