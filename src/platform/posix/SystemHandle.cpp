#include "platform/SystemHandle.h"

#include <unistd.h>

namespace halvik::platform {

void SystemHandle::reset(std::int64_t value) {
  if (m_value >= 0) close(static_cast<int>(m_value));
  m_value = value;
}

}  // namespace halvik::platform
