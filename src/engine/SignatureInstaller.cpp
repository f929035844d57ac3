#include "engine/SignatureInstaller.h"

#include "core/mMain.h"
#include "engine/CurrentSignatures.h"
#include "engine/InstallState.h"
#include "engine/SignatureSet.h"
#include "platform/Platform.h"
#include "platform/ProfileFile.h"
#include "platform/WholeFile.h"

#include <algorithm>
#include <array>
#include <optional>

namespace halvik::engine {
namespace {

// The shipped names, both written with each set: the two-file lookup reads them in every folder.
constexpr std::array<const char*, 2> kSetNames{kScanDatabase, kReferenceDatabase};

std::string inFolder(const std::string& folder, const std::string& name) {
  return folder + platform::kSeparator + name;
}

// The set a folder holds under the reference name, with its signature file; nullopt when
// either cannot be read.
std::optional<FeedFiles> setIn(const std::string& folder) {
  const std::string path = inFolder(folder, kReferenceDatabase);
  platform::FileContent set = platform::readFile(path);
  platform::FileContent signature = platform::readFile(path + kSignatureSuffix);
  if (set.status != platform::FileContent::Status::Read || signature.status != platform::FileContent::Status::Read)
    return std::nullopt;
  return FeedFiles{std::move(set.bytes), std::move(signature.bytes)};
}

std::uint64_t versionOf(const std::optional<FeedFiles>& files, const std::string& folder) {
  if (!files) return 0;
  const auto set = SignatureSet::parse(files->set, folder);
  return set ? set->version() : 0;
}

std::string versionText(std::uint64_t version) { return std::to_string(version); }

}  // namespace

UpdateOutcome SignatureInstaller::refused(const std::string& message, const std::string& logReason) const {
  core::mMain::WriteLog("Signature update refused for " + m_folder + ": " + logReason);
  return UpdateOutcome{UpdateOutcome::Kind::Refused, message};
}

std::uint64_t SignatureInstaller::highestInstalled() const {
  const std::string previous = inFolder(m_folder, kPreviousFolder);
  return std::max(
      {install_state::recorded(m_folder), versionOf(setIn(m_folder), m_folder), versionOf(setIn(previous), previous)});
}

UpdateOutcome SignatureInstaller::install(const FeedFiles& files, std::uint64_t currentVersion) const {
  if (files.set.size() > kMaxSetSize)
    return refused("refus\u00E9 : le jeu de signatures d\u00E9passe 64 Mo", "the set is larger than 64 MB");
  switch (const SignatureCheck check = m_keys.check(files.set, files.signature)) {
    case SignatureCheck::Verified: break;
    case SignatureCheck::Malformed:
      return refused("refus\u00E9 : le fichier de signature .minisig est illisible", describe(check));
    case SignatureCheck::UntrustedKey:
      return refused("refus\u00E9 : sign\u00E9 par une cl\u00E9 qui n'est pas de confiance", describe(check));
    case SignatureCheck::BadSignature:
      return refused("refus\u00E9 : la signature ne correspond pas au jeu (fichier alt\u00E9r\u00E9)", describe(check));
  }
  std::string reason;
  const auto set = SignatureSet::parse(files.set, m_folder, &reason);
  if (!set) return refused("refus\u00E9 : ce n'est pas un jeu de signatures valable, ou il est vide", reason);
  const std::string version = versionText(set->version());
  if (set->version() == currentVersion)
    return UpdateOutcome{UpdateOutcome::Kind::AlreadyCurrent, "d\u00E9j\u00E0 \u00E0 jour (version " + version + ")",
                         set->version(), set->count()};
  if (set->version() < currentVersion)
    return refused("refus\u00E9 : la version " + version + " est plus ancienne que celle en service (" +
                       versionText(currentVersion) + ")",
                   "version " + version + " is older than the set in use, " + versionText(currentVersion));
  if (const std::uint64_t highest = highestInstalled(); set->version() <= highest)
    return refused("refus\u00E9 : la version " + version +
                       " a d\u00E9j\u00E0 \u00E9t\u00E9 install\u00E9e ou retir\u00E9e ici (la plus haute : " +
                       versionText(highest) + ")",
                   "version " + version + " is not above the highest ever installed there, " + versionText(highest));
  if (!keepPrevious() || !install_state::record(m_folder, set->version()) || !writeSet(m_folder, files))
    return refused("\u00E9chec de l'\u00E9criture dans \u00AB " + m_folder + " \u00BB",
                   "the files could not be written");
  core::mMain::WriteLog("Signatures updated to version " + version + " (" + std::to_string(set->count()) +
                        " names) in " + m_folder);
  return UpdateOutcome{UpdateOutcome::Kind::Installed,
                       "signatures mises \u00E0 jour : " + std::to_string(set->count()) + " noms (version " + version +
                           ")",
                       set->version(), set->count()};
}

bool SignatureInstaller::keepPrevious() const {
  const auto current = setIn(m_folder);
  if (!current) return true;  // nothing installed yet
  const std::string previous = inFolder(m_folder, kPreviousFolder);
  return platform::createFolder(previous).ok() && writeSet(previous, *current);
}

bool SignatureInstaller::writeSet(const std::string& folder, const FeedFiles& files) const {
  for (const char* name : kSetNames) {
    const std::string path = inFolder(folder, name);
    if (!platform::writeWholeFile(path + kSignatureSuffix, files.signature) ||
        !platform::writeWholeFile(path, files.set))
      return false;
  }
  return true;
}

UpdateOutcome SignatureInstaller::rollback() const {
  const std::string previous = inFolder(m_folder, kPreviousFolder);
  const auto files = setIn(previous);
  if (!files)
    return refused("rien \u00E0 annuler : aucun jeu pr\u00E9c\u00E9dent dans \u00AB " + m_folder + " \u00BB",
                   "no previous set");
  const auto set = SignatureSet::parse(files->set, m_folder);
  if (m_keys.check(files->set, files->signature) != SignatureCheck::Verified || !set)
    return refused("refus\u00E9 : le jeu pr\u00E9c\u00E9dent n'est plus valable", "the previous set does not verify");
  if (!writeSet(m_folder, *files))
    return refused("\u00E9chec de l'\u00E9criture dans \u00AB " + m_folder + " \u00BB",
                   "the files could not be written");
  for (const char* name : kSetNames) {
    platform::deleteFile(inFolder(previous, name));
    platform::deleteFile(inFolder(previous, name) + kSignatureSuffix);
  }
  const std::string version = versionText(set->version());
  core::mMain::WriteLog("Signatures rolled back to version " + version + " in " + m_folder);
  return UpdateOutcome{UpdateOutcome::Kind::Installed,
                       "retour au jeu pr\u00E9c\u00E9dent : " + std::to_string(set->count()) + " noms (version " +
                           version + ")",
                       set->version(), set->count()};
}

}  // namespace halvik::engine
