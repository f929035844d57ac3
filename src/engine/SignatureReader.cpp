#include "engine/SignatureReader.h"

#include "engine/CurrentSignatures.h"
#include "profile/ProfileSyntax.h"

namespace halvik::engine {

std::string SignatureReader::Value() const {
  if (!profile::syntax::foldEqual(profile::syntax::trimSpaces(m_section), "Scanfiles")) return std::string();
  return currentSignatures()->lookup(profile::syntax::trimSpaces(m_key));
}

}  // namespace halvik::engine
