#include "engine/SignatureDb.h"

#include "core/Locations.h"
#include "platform/Ascii.h"
#include "profile/ProfileSyntax.h"

namespace halvik::engine {

profile::cINI SignatureDb;

std::string FileNameOf(const std::string& path) {
#ifdef _WIN32
  const auto separator = path.find_last_of("\\/");
#else
  const auto separator = path.rfind('/');
#endif
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

bool IsKeyName(const std::string& name) {
  return !name.empty() && !profile::syntax::isSpace(name.front()) && !profile::syntax::isSpace(name.back());
}

std::string LookupThreat(const std::string& path) {
  const std::string name = FileNameOf(path);
  SignatureDb.setPath(core::programFile(kReferenceDatabase));
  // The section every shipped and user-edited database is written under: kept so their entries are found.
  SignatureDb.setSection("Scanfiles");
  if (!IsKeyName(name)) return std::string();
  SignatureDb.setKey(platform::upperCase(name));
  return SignatureDb.Value();
}

}  // namespace halvik::engine
