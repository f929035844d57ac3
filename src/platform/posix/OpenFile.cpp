// A regular file held open for reading: a file descriptor.
#include "platform/Platform.h"

#include <unistd.h>

namespace platform {

OpenFile::~OpenFile() {
  if (m_handle >= 0) close(static_cast<int>(m_handle));
}

OpenFile::OpenFile(OpenFile&& other) noexcept : m_handle(other.m_handle) { other.m_handle = -1; }

OpenFile& OpenFile::operator=(OpenFile&& other) noexcept {
  if (this != &other) {
    if (m_handle >= 0) close(static_cast<int>(m_handle));
    m_handle = other.m_handle;
    other.m_handle = -1;
  }
  return *this;
}

}  // namespace platform
