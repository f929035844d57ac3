#include "platform/WholeFile.h"

#include "platform/posix/TempFile.h"

#include <sys/stat.h>

namespace halvik::platform {

Status writeWholeFile(const std::string& path, std::string_view bytes) {
  return posix::writeAtomically(path, {.syncFolder = true}, [&](posix::TempFile& temporary) {
    if (fchmod(temporary.descriptor(), 0644) != 0) return Status::lastError();
    return temporary.write(bytes.data(), bytes.size());
  });
}

}  // namespace halvik::platform
