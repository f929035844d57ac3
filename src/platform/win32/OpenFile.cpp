// A regular file held open for reading: a file handle.
#include "platform/Platform.h"

#include <windows.h>

namespace halvik::platform {
namespace {
void release(std::int64_t handle) {
  if (handle >= 0) CloseHandle(reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(handle)));
}
}  // namespace

OpenFile::~OpenFile() { release(m_handle); }

OpenFile::OpenFile(OpenFile&& other) noexcept : m_handle(other.m_handle) { other.m_handle = -1; }

OpenFile& OpenFile::operator=(OpenFile&& other) noexcept {
  if (this != &other) {
    release(m_handle);
    m_handle = other.m_handle;
    other.m_handle = -1;
  }
  return *this;
}

std::optional<FileStatus> OpenFile::status() const {
  // Rights are in an access list, not permission bits: only the size is known.
  LARGE_INTEGER size;
  if (m_handle < 0 || !GetFileSizeEx(reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(m_handle)), &size)) return std::nullopt;
  return FileStatus{static_cast<std::uint64_t>(size.QuadPart), std::nullopt};
}

}  // namespace halvik::platform
