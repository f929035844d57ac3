#pragma once

#include "engine/FeedFiles.h"
#include "engine/TrustedKeys.h"
#include "engine/UpdateOutcome.h"

#include <cstdint>
#include <string>

namespace halvik::engine {

// Installs signature sets into one update folder, and rolls back to the set it replaced. A set
// is installed only when it is under 64 MB, its signature verifies against a trusted key, it
// parses as a sound set holding at least one name, and its version is higher than the set in
// use and than every version ever installed in that folder (its state file keeps the highest,
// so no older set, no replayed one and no set rolled back from comes back). It is written under
// both shipped names, each with its ".minisig" beside it, each file written beside its place
// and renamed into it; the set it replaces is kept in "previous" for one rollback.
class SignatureInstaller {
 public:
  SignatureInstaller(std::string folder, TrustedKeys keys) : m_folder(std::move(folder)), m_keys(std::move(keys)) {}

  // `currentVersion`: the version of the set in use (0 when there is none).
  UpdateOutcome install(const FeedFiles& files, std::uint64_t currentVersion) const;

  // Puts the previous set back in place of this folder's set, once.
  UpdateOutcome rollback() const;

  // The folder kept for one rollback, inside the update folder.
  static constexpr const char* kPreviousFolder = "previous";

 private:
  UpdateOutcome refused(const std::string& message, const std::string& logReason) const;
  std::uint64_t highestInstalled() const;
  bool keepPrevious() const;
  bool writeSet(const std::string& folder, const FeedFiles& files) const;

  std::string m_folder;
  TrustedKeys m_keys;
};

}  // namespace halvik::engine
