#pragma once

#include "platform/SystemHandle.h"

#include <windows.h>

#include <cstdint>

namespace halvik::platform::win32 {

// A handle kept in a platform object's 64-bit handle field, back as the system's type.
inline HANDLE handleOf(std::int64_t value) { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(value)); }

// An owned kernel handle: a SystemHandle seen as the HANDLE the system calls take. Null and
// INVALID_HANDLE_VALUE both mean none.
class Handle : public SystemHandle {
 public:
  explicit Handle(HANDLE handle = nullptr)
      : SystemHandle(handle == nullptr || handle == INVALID_HANDLE_VALUE ? -1
                                                                         : reinterpret_cast<std::intptr_t>(handle)) {}

  HANDLE get() const { return valid() ? handleOf(value()) : nullptr; }
  explicit operator bool() const { return valid(); }
};

}  // namespace halvik::platform::win32
