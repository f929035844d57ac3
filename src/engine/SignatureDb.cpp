#include "engine/SignatureDb.h"

namespace halvik::engine {

SignatureReader SignatureDb;

std::string FileNameOf(const std::string& path) {
#ifdef _WIN32
  const auto separator = path.find_last_of("\\/");
#else
  const auto separator = path.rfind('/');
#endif
  return separator == std::string::npos ? path : path.substr(separator + 1);
}

std::string LookupThreat(const std::string& path) { return currentReference()->lookup(FileNameOf(path)); }

}  // namespace halvik::engine
