#pragma once

#include <cstdint>
#include <string>

namespace halvik::profile {

// Accessor for one value, key list or section of an INI file. A caller sets Path and
// Section, then for each lookup sets Key and reads Value. Nothing is checked for being
// empty: the accessor passes what it holds to the profile reader and writer.
class cINI {
 public:
  // Result of the last write (Value write, DeleteValue, DeleteSection, INISection write):
  // nonzero for success, 0 for failure. Reads leave it as it is.
  std::int32_t LastReturnCode() const { return m_lastReturnCode; }

  const std::string& Default() const { return m_default; }
  void setDefault(const std::string& sDefault) { m_default = sDefault; }

  const std::string& Path() const { return m_path; }
  void setPath(const std::string& sPath) { m_path = sPath; }

  const std::string& Key() const { return m_key; }
  void setKey(const std::string& sKey) { m_key = sKey; }

  const std::string& Section() const { return m_section; }
  void setSection(const std::string& sSection) { m_section = sSection; }

  // Key in Section of Path, or Default; read through a 1024-byte buffer, so a longer value
  // reads as its first 1023 bytes.
  std::string Value() const;
  // Writes Key = sValue in Section of Path, with every NUL removed from sValue.
  void setValue(const std::string& sValue);

  void DeleteValue();
  void DeleteSection();

  // The key names of Section, each followed by a NUL, read through a 255-byte buffer.
  std::string INISection() const;
  // Hands sSection to the writer with no key name, which removes Section; nothing of sSection is stored.
  void setINISection(const std::string& sSection);

 private:
  std::string m_path;
  std::string m_section;
  std::string m_key;
  std::string m_default;
  std::int32_t m_lastReturnCode = 0;
};

}  // namespace halvik::profile
