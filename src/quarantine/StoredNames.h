#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace halvik::quarantine {

// The extension every stored copy carries: kept so existing copies are listed and restored.
inline constexpr std::string_view kStoredExtension = ".aaq";

// The names taken in the quarantine folder, listed once for a run of copies, so that the copy
// number of each new copy (CopyNumber.h) is found without asking the folder name after name.
// Names compare without regard to ASCII case, as on the systems whose file names do. The index
// only proposes: a copy is still created under a name that must not exist yet, and a name
// another writer took since the listing is taken() and the next one proposed.
class StoredNames {
 public:
  // Lists `folder`; one that cannot be listed counts as empty.
  explicit StoredNames(const std::string& folder);

  // The stored name of copy number N of a file named `name` ("name.aaq", then "name (2).aaq",
  // with the number before the name's last extension: "setup (2).exe.aaq"; a name too long for
  // the file system loses bytes at the end of its stem) for the lowest N not known to be taken,
  // searching on from the number last proposed for `name`. nullopt once every number up to the
  // limit is taken.
  std::optional<std::string> next(const std::string& name);

  // Notes `storedName` as taken: stored by this run, or found taken when it was created.
  void take(const std::string& storedName);

 private:
  std::unordered_set<std::string> m_taken;         // upper-cased
  std::unordered_map<std::string, int> m_numbers;  // a file name -> the number it is searched from
};

}  // namespace halvik::quarantine
