#include "engine/SignatureDb.h"

#include "core/Locations.h"

#include <algorithm>

cINI SignatureDb;

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

std::string LookupThreat(const std::string& path) {
  const std::string name = FileNameOf(path);
  SignatureDb.setPath(core::programFile(kReferenceDatabase));
  SignatureDb.setSection("Scanfiles");
  SignatureDb.setKey(UpperCase(name));
  return SignatureDb.Value();
}
