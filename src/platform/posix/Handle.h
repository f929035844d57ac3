#pragma once

#include "platform/SystemHandle.h"

namespace halvik::platform::posix {

// An owned file descriptor: a SystemHandle seen as the int the system calls take.
class Handle : public SystemHandle {
 public:
  Handle() = default;
  explicit Handle(int fd) : SystemHandle(fd) {}

  int get() const { return static_cast<int>(value()); }
  bool ok() const { return valid(); }
};

// The descriptor a platform object's SystemHandle holds.
inline int descriptorOf(const SystemHandle& handle) { return static_cast<int>(handle.value()); }

}  // namespace halvik::platform::posix
