#include "platform/SystemHandle.h"

#include <windows.h>

namespace halvik::platform {

void SystemHandle::reset(std::int64_t value) {
  if (m_value >= 0) CloseHandle(reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(m_value)));
  m_value = value;
}

}  // namespace halvik::platform
