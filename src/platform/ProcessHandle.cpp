// What a held process is on every system; each backend opens, signals and releases it.
#include "platform/Platform.h"

#include <utility>

namespace halvik::platform {

ProcessHandle::~ProcessHandle() { release(); }

ProcessHandle::ProcessHandle(ProcessHandle&& other) noexcept
    : m_handle(std::exchange(other.m_handle, -1)), m_open(std::exchange(other.m_open, false)), m_judged(std::move(other.m_judged)) {}

ProcessHandle& ProcessHandle::operator=(ProcessHandle&& other) noexcept {
  if (this != &other) {
    release();
    m_handle = std::exchange(other.m_handle, -1);
    m_open = std::exchange(other.m_open, false);
    m_judged = std::move(other.m_judged);
  }
  return *this;
}

}  // namespace halvik::platform
