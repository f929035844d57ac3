#include "platform/FolderCheck.h"

#include "platform/Platform.h"

namespace halvik::platform {

bool isFolder(const std::string& path, Links links) {
  const auto attributes = fileAttributes(path);
  if (!attributes || !(*attributes & kFolder)) return false;
  return links == Links::Followed || !(*attributes & kReparsePoint);
}

}  // namespace halvik::platform
