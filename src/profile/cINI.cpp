#include "profile/cINI.h"

#include "profile/Profile.h"

#include <algorithm>

namespace halvik::profile {

namespace {
constexpr std::size_t kValueBufferSize = 1024;
constexpr std::size_t kSectionBufferSize = 255;
}  // namespace

std::string cINI::Value() const {
  char buffer[kValueBufferSize];
  const std::uint32_t length = profile::getString(m_section, m_key, m_default, buffer, m_path);
  return std::string(buffer, length);
}

void cINI::setValue(const std::string& sValue) {
  std::string cleaned = sValue;
  cleaned.erase(std::remove(cleaned.begin(), cleaned.end(), '\0'), cleaned.end());
  m_lastReturnCode = profile::writeString(m_section, m_key, cleaned, m_path) ? 1 : 0;
}

void cINI::DeleteValue() { m_lastReturnCode = profile::writeString(m_section, m_key, std::nullopt, m_path) ? 1 : 0; }

void cINI::DeleteSection() {
  m_lastReturnCode = profile::writeString(m_section, std::nullopt, std::nullopt, m_path) ? 1 : 0;
}

std::string cINI::INISection() const {
  char buffer[kSectionBufferSize];
  const std::uint32_t length = profile::getString(m_section, std::nullopt, m_default, buffer, m_path);
  return std::string(buffer, length);
}

void cINI::setINISection(const std::string& sSection) {
  m_lastReturnCode = profile::writeString(m_section, std::nullopt, sSection, m_path) ? 1 : 0;
}

}  // namespace halvik::profile
