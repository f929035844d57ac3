#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>

namespace halvik::platform::win32 {

// A handle kept in a platform object's 64-bit handle field, back as the system's type.
inline HANDLE handleOf(std::int64_t value) { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(value)); }

// A kernel handle closed when the object goes; null and INVALID_HANDLE_VALUE both mean none.
class Handle {
 public:
  explicit Handle(HANDLE handle = nullptr) : m_handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
  ~Handle() {
    if (m_handle) CloseHandle(m_handle);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  HANDLE get() const { return m_handle; }
  explicit operator bool() const { return m_handle != nullptr; }
  // Gives the handle up to the caller, who closes it.
  HANDLE release() { return std::exchange(m_handle, nullptr); }

 private:
  HANDLE m_handle;
};

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

}  // namespace halvik::platform::win32
