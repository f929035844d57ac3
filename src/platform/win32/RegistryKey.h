#pragma once

#include "platform/Status.h"

#include <windows.h>

namespace halvik::platform::win32 {

// An open registry key closed when the object goes.
class RegistryKey {
 public:
  RegistryKey() = default;
  ~RegistryKey() {
    if (m_key) RegCloseKey(m_key);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  HKEY get() const { return m_key; }
  HKEY* out() { return &m_key; }

 private:
  HKEY m_key = nullptr;
};

// The registry functions return their error rather than setting the thread's last error.
inline Status registryStatus(LONG result) {
  return result == ERROR_SUCCESS ? Status() : Status::failure(static_cast<std::uint32_t>(result));
}

}  // namespace halvik::platform::win32
