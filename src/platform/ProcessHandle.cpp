// What a held process is on every system; each backend opens and signals it.
#include "platform/Platform.h"

#include <utility>

namespace halvik::platform {

// The open flag moves with the handle: a moved-from handle must never signal by identifier.
ProcessHandle::ProcessHandle(ProcessHandle&& other) noexcept
    : m_handle(std::move(other.m_handle)),
      m_open(std::exchange(other.m_open, false)),
      m_judged(std::move(other.m_judged)) {}

ProcessHandle& ProcessHandle::operator=(ProcessHandle&& other) noexcept {
  if (this != &other) {
    m_handle = std::move(other.m_handle);
    m_open = std::exchange(other.m_open, false);
    m_judged = std::move(other.m_judged);
  }
  return *this;
}

}  // namespace halvik::platform
