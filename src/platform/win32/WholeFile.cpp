#include "platform/WholeFile.h"

#include "platform/win32/TempFile.h"

namespace halvik::platform {

Status writeWholeFile(const std::string& path, std::string_view bytes) {
  return win32::writeAtomically(path, {}, [&](win32::TempFile& temporary) {
    return temporary.write(bytes.data(), bytes.size());
  });
}

}  // namespace halvik::platform
