// A regular file held open for reading: a file handle.
#include "platform/Platform.h"

#include <windows.h>

namespace platform {
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

}  // namespace platform
