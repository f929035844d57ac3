#include "platform/posix/PathAt.h"

#include <climits>
#include <fcntl.h>
#include <unistd.h>

namespace halvik::platform::posix {
namespace {
constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

// Opens `folder` however long it is: each openat gets a stretch of whole names shorter
// than PATH_MAX. -1 when any stretch fails to open.
int openFolder(const std::string& folder) {
  if (folder.size() < PATH_MAX) return open(folder.empty() ? "." : folder.c_str(), kFolderFlags);
  int fd = open(folder.front() == '/' ? "/" : ".", kFolderFlags);
  std::size_t position = 0;
  while (fd >= 0) {
    position = folder.find_first_not_of('/', position);
    if (position == std::string::npos) break;
    std::size_t end = folder.size();
    if (end - position >= PATH_MAX) {
      end = folder.rfind('/', position + PATH_MAX - 1);
      // A single name longer than the limit cannot exist; let openat report it.
      if (end == std::string::npos || end <= position) end = folder.find('/', position);
      if (end == std::string::npos) end = folder.size();
    }
    const int next = openat(fd, folder.substr(position, end - position).c_str(), kFolderFlags);
    close(fd);
    fd = next;
    position = end;
  }
  return fd;
}
}  // namespace

PathAt::PathAt(const std::string& path, Folder folder) : m_folder(AT_FDCWD), m_name(path) {
  if (folder == Folder::WhenNeeded && path.size() < PATH_MAX) return;
  std::string whole = path;
  while (whole.size() > 1 && whole.back() == '/') whole.pop_back();
  const auto slash = whole.rfind('/');
  std::string parent;
  if (slash == std::string::npos) {
    parent = ".";
    m_name = whole;
  } else {
    parent = slash == 0 ? std::string("/") : whole.substr(0, slash);
    m_name = whole.substr(slash + 1);
  }
  if (m_name.empty()) m_name = ".";
  m_owned.reset(openFolder(parent));
  m_folder = m_owned.get();
  if (!m_owned.ok()) m_status = Status::lastError();
}

}  // namespace halvik::platform::posix
