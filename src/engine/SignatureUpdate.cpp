#include "engine/SignatureUpdate.h"

#include "core/Locations.h"
#include "core/mMain.h"
#include "engine/CurrentSignatures.h"
#include "engine/FeedFiles.h"
#include "engine/SignatureInstaller.h"
#include "engine/TrustedKeys.h"
#include "platform/MachineFolder.h"
#include "platform/Platform.h"
#include "platform/TrustedFolder.h"

#include <algorithm>

namespace halvik::engine {
namespace {

UpdateOutcome refused(const std::string& message, const std::string& logLine) {
  core::mMain::WriteLog(logLine);
  return UpdateOutcome{UpdateOutcome::Kind::Refused, message};
}

// Creates the update folder when missing; nullopt when it is ready and trusted, else the refusal.
std::optional<UpdateOutcome> prepare(const std::string& folder) {
  const bool created =
      platform::elevated() ? platform::createMachineFolder(folder).ok() : platform::createOwnerFolders(folder).ok();
  std::string reason = "it cannot be created";
  if (created && platform::isTrustedFolder(folder, &reason)) return std::nullopt;
  return refused("refus\u00E9 : le dossier \u00AB " + folder +
                     " \u00BB n'est pas s\u00FBr ou ne peut pas \u00EAtre cr\u00E9\u00E9",
                 "Signature update refused: the folder " + folder + " is not safe: " + reason);
}

// The place of the current set, as the last reload found it.
std::optional<SignatureCandidate> currentPlace() {
  const auto current = currentSignatures();
  for (SignatureCandidate& candidate : signatureCandidates())
    if (candidate.set == current) return std::move(candidate);
  return std::nullopt;
}

}  // namespace

void verifyUpdatesWithTrustedKeys() {
  setSetVerifier([](std::string_view set, std::string_view signature, std::string* reason) {
    const SignatureCheck check = TrustedKeys::installed().check(set, signature);
    if (check != SignatureCheck::Verified && reason) *reason = describe(check);
    return check == SignatureCheck::Verified;
  });
}

std::string updateFolder() {
  return platform::elevated() ? core::machineSignaturesFolder() : core::userSignaturesFolder();
}

UpdateOutcome updateSignatures(const std::string& source) {
  reloadSignatures();
  const std::uint64_t currentVersion = haveSignatures() ? currentSignatures()->version() : 0;
  const FeedFetch fetch = fetchFeed(source);
  if (fetch.tooLarge)
    return refused("refus\u00E9 : le jeu de signatures d\u00E9passe 64 Mo, ou sa signature 64 Ko",
                   "Signature update from " + source + " refused: " + fetch.reason);
  if (!fetch.fetched)
    return refused("source injoignable : " + fetch.reason,
                   "Signature update from " + source + " failed: " + fetch.reason);
  const std::string folder = updateFolder();
  if (auto refusal = prepare(folder)) return *refusal;
  UpdateOutcome outcome = SignatureInstaller(folder, TrustedKeys::installed()).install(fetch.files, currentVersion);
  if (outcome.kind == UpdateOutcome::Kind::Installed) reloadSignatures();
  return outcome;
}

UpdateOutcome rollbackSignatures() {
  reloadSignatures();
  const auto place = currentPlace();
  if (!place || place->place == SignaturePlace::Program)
    return refused("rien \u00E0 annuler : le jeu en service est celui livr\u00E9 avec le programme",
                   "Signature rollback refused: the set in use is the shipped one");
  UpdateOutcome outcome = SignatureInstaller(place->folder, TrustedKeys::installed()).rollback();
  if (outcome.kind == UpdateOutcome::Kind::Installed) reloadSignatures();
  return outcome;
}

}  // namespace halvik::engine
