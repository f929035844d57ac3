#pragma once

#include <string>

namespace halvik::engine {

// The shared signature reader's properties: Path, Section and Key keep what was last assigned,
// and Value is the threat name of Key in the current set when Section names "Scanfiles" (in any
// case), or empty text. Path is kept for whoever reads it: the current set decides where the
// names come from.
class SignatureReader {
 public:
  const std::string& Path() const { return m_path; }
  void setPath(const std::string& sPath) { m_path = sPath; }

  const std::string& Section() const { return m_section; }
  void setSection(const std::string& sSection) { m_section = sSection; }

  const std::string& Key() const { return m_key; }
  void setKey(const std::string& sKey) { m_key = sKey; }

  std::string Value() const;

 private:
  std::string m_path;
  std::string m_section;
  std::string m_key;
};

}  // namespace halvik::engine
