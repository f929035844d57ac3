#pragma once

#include "platform/Platform.h"
#include "quarantine/QuarantineStore.h"

#include <string>

namespace halvik::testing_support {

// The regular file at `path`, opened the way the repair opens it: through its folder and
// checked to be the entry found there, never through a link. Not valid when it cannot be.
inline platform::OpenFile openChecked(const std::string& path) {
  const auto cut = path.find_last_of("/\\");
  if (cut == std::string::npos) return {};
  const platform::FolderHandle folder =
      platform::FolderHandle::open(cut == 0 ? path.substr(0, 1) : path.substr(0, cut));
  const std::string name = path.substr(cut + 1);
  const auto entry = folder.valid() ? folder.identify(name) : std::nullopt;
  if (!entry || entry->kind != platform::EntryKind::File) return {};
  return folder.openFile(name, entry->id);
}

// Stores the regular file at `path` in the quarantine the way the repair does. True when stored.
inline bool quarantineFile(const std::string& path, const std::string& threatName = {}) {
  const platform::OpenFile file = openChecked(path);
  return file.valid() && quarantine::StoreInQuarantine(path, file, threatName).has_value();
}

}  // namespace halvik::testing_support
