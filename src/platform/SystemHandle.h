#pragma once

#include <cstdint>
#include <utility>

namespace halvik::platform {

// A file descriptor (POSIX) or kernel handle (Windows) that a platform object owns: closed
// when the object goes or is given another. Move-only; -1 holds none. Each backend closes it
// its own way and gives it a typed face (posix::Handle, win32::Handle).
class SystemHandle {
 public:
  SystemHandle() = default;
  explicit SystemHandle(std::int64_t value) : m_value(value) {}
  ~SystemHandle() { reset(); }
  SystemHandle(SystemHandle&& other) noexcept : m_value(other.release()) {}
  SystemHandle& operator=(SystemHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  SystemHandle(const SystemHandle&) = delete;
  SystemHandle& operator=(const SystemHandle&) = delete;

  bool valid() const { return m_value >= 0; }
  std::int64_t value() const { return m_value; }
  // Gives the handle up to the caller, who closes it.
  std::int64_t release() { return std::exchange(m_value, -1); }
  // Closes the handle held, if any, and holds `value` instead.
  void reset(std::int64_t value = -1);

 private:
  std::int64_t m_value = -1;
};

}  // namespace halvik::platform
