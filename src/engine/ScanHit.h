#pragma once

#include "platform/Platform.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace halvik::engine::mScanFiles {

// One hit of a walk as the walk saw it. Besides the threat and the full path, it keeps what
// each step of the way was, so that whatever acts on the hit later reaches that very entry
// again, or nothing: a folder replaced by a link, or an entry replaced by another, is noticed.
struct Hit {
  std::string threatName;                        // upper case
  std::string path;                              // raw bytes of the full path
  std::size_t rootLength = 0;                    // the leading bytes of `path` that name the walk's root; each name
                                                 // below it follows a separator
  std::vector<platform::FolderId> folders;       // the root, then each folder down to the entry's own
  std::optional<platform::EntryIdentity> entry;  // nullopt when the entry went before it could be looked at
};

// The folder of a hit's entry, reached again from the walk's root.
struct ReachedFolder {
  enum class State {
    Reached,  // every folder on the way is the one the walk saw
    Gone,     // a folder on the way no longer exists
    Changed,  // a folder on the way is another folder now, or a link, or no folder at all
  };
  State state = State::Changed;
  platform::FolderHandle folder;  // open when Reached
  std::string name;               // the entry's name in that folder
};

// Opens the walk's root, then one name at a time each folder down to the entry's own, never
// through a link, checking each against the identity the walk saw.
ReachedFolder ReachFolder(const Hit& hit);

}  // namespace halvik::engine::mScanFiles
