#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace halvik::profile {

// Writes a list of strings into a caller's buffer of more than two bytes, each string
// followed by a NUL and the whole by one more NUL. When the list does not fit in size - 2
// bytes it is cut there and ends in two NULs, as the platform's lists are.
class ProfileListWriter {
 public:
  explicit ProfileListWriter(std::span<char> buffer) : m_buffer(buffer), m_room(buffer.size() - 2) {}

  // Adds one string made of up to three parts. False once the list no longer fits: nothing
  // more needs adding.
  bool add(std::string_view first, std::string_view second = {}, std::string_view third = {});

  // Ends the list; returns the count of bytes before the final NUL.
  std::uint32_t finish();

  bool empty() const { return m_length == 0; }

 private:
  void put(std::string_view text);

  std::span<char> m_buffer;
  std::size_t m_room;
  std::size_t m_length = 0;
};

}  // namespace halvik::profile
