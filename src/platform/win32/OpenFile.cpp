// A regular file held open for reading: a file handle.
#include "platform/Platform.h"
#include "platform/win32/Handle.h"

namespace halvik::platform {

std::optional<FileStatus> OpenFile::status() const {
  // Rights are in an access list, not permission bits: only the size is known.
  LARGE_INTEGER size;
  if (!valid() || !GetFileSizeEx(win32::handleOf(m_handle.value()), &size)) return std::nullopt;
  return FileStatus{static_cast<std::uint64_t>(size.QuadPart), std::nullopt};
}

}  // namespace halvik::platform
