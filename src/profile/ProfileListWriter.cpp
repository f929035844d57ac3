#include "profile/ProfileListWriter.h"

#include <algorithm>

namespace halvik::profile {

bool ProfileListWriter::add(std::string_view first, std::string_view second, std::string_view third) {
  put(first);
  put(second);
  put(third);
  put(std::string_view("\0", 1));
  return m_length <= m_room;
}

std::uint32_t ProfileListWriter::finish() {
  if (m_length <= m_room) {
    m_buffer[m_length] = '\0';
    return static_cast<std::uint32_t>(m_length);
  }
  m_buffer[m_room] = m_buffer[m_room + 1] = '\0';
  return static_cast<std::uint32_t>(m_room);
}

void ProfileListWriter::put(std::string_view text) {
  if (m_length < m_room) std::copy_n(text.data(), std::min(text.size(), m_room - m_length), m_buffer.data() + m_length);
  m_length += text.size();
}

}  // namespace halvik::profile
