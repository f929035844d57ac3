#pragma once

#include "platform/Status.h"
#include "platform/posix/Handle.h"

#include <string>

namespace halvik::platform::posix {

// A path as an open folder and a name inside it, for the *at system calls. A path that fits
// in PATH_MAX is used as it stands against the current folder; a longer one has its folder
// opened one stretch at a time, so every operation also works on paths of any length.
class PathAt {
 public:
  enum class Folder {
    WhenNeeded,  // open the containing folder only for a path too long to use as it stands
    Always,      // always open the containing folder (to create files beside the last name)
  };

  PathAt(const std::string& path, Folder folder = Folder::WhenNeeded);

  // False when the containing folder could not be opened; status() then tells why.
  bool ok() const { return m_status.ok(); }
  const Status& status() const { return m_status; }
  // AT_FDCWD or an open descriptor of the containing folder.
  int folder() const { return m_folder; }
  // The path itself, or the last name under folder().
  const char* name() const { return m_name.c_str(); }

 private:
  int m_folder;
  Handle m_owned;
  Status m_status;
  std::string m_name;
};

}  // namespace halvik::platform::posix
