#pragma once

namespace halvik::platform::posix {

// Removes from the open folder `folder` the temporary files that writers killed before their
// rename left behind: regular files of the effective user, named as our temporary files are
// (platform::isTemporaryName) and last modified over a minute ago. A link is never followed
// nor removed, and nothing else is touched. One running copy sweeps a folder at most once a
// minute, so that a run of writes lists it once. Failures are silent: litter only stays.
void sweepStaleTemporaries(int folder);

}  // namespace halvik::platform::posix
