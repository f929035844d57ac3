#include "engine/SignatureDb.h"

#include "core/Locations.h"
#include "profile/ProfileSyntax.h"

#include <algorithm>

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

std::string UpperCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
  return text;
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
  SignatureDb.setKey(UpperCase(name));
  return SignatureDb.Value();
}

}  // namespace halvik::engine
