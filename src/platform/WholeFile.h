#pragma once

#include "platform/Status.h"

#include <string>
#include <string_view>

namespace halvik::platform {

// Writes `bytes` as the whole content of `path`: into a temporary file beside it, flushed and
// renamed into place (the folder flushed too), so a reader finds the old file or the new one,
// never a part. The new file is readable by everyone and writable by its owner only (0644 on
// POSIX, whatever the umask; on Windows the rights the folder passes down). A link at `path`
// is replaced, never followed.
Status writeWholeFile(const std::string& path, std::string_view bytes);

}  // namespace halvik::platform
