#include "engine/CurrentSignatures.h"

#include "core/Locations.h"
#include "platform/Environment.h"
#include "platform/FolderCheck.h"
#include "platform/Platform.h"
#include "platform/ProfileFile.h"
#include "platform/Status.h"
#include "platform/TrustedFolder.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <utility>

namespace halvik::engine {
namespace {
struct State {
  std::mutex lock;
  SetVerifier verifier;
  std::atomic<bool> loaded = false;
  std::shared_ptr<const SignatureSet> current = std::make_shared<const SignatureSet>();
  std::shared_ptr<const SignatureSet> reference = current;
  std::vector<SignatureCandidate> candidates;
};

State& state() {
  static State instance;
  return instance;
}

bool refuseUnverified(std::string_view, std::string_view, std::string* reason) {
  if (reason) *reason = "no signature check is available";
  return false;
}

// The whole file, read only when it is a regular file (or a link to one): a FIFO is never opened
// for reading, so nothing waits on a writer.
std::optional<std::string> readWhole(const std::string& path, std::string* reason) {
  const auto attributes = platform::fileAttributes(path);
  if (attributes && (*attributes & (platform::kFolder | platform::kSystem)) &&
      !(*attributes & platform::kReparsePoint)) {
    *reason = (*attributes & platform::kFolder) ? "is a folder" : "is not a regular file";
    return std::nullopt;
  }
  platform::FileContent content = platform::readFile(path);
  if (content.status == platform::FileContent::Status::Read) return std::move(content.bytes);
  *reason = content.status == platform::FileContent::Status::Missing ? "missing"
                                                                     : platform::Status::failure(content.error).text();
  return std::nullopt;
}

// One database file of a place, with its verdict: the set, or why it is refused.
std::shared_ptr<const SignatureSet> loadFile(const std::string& folder, const char* name, bool verified,
                                             const SetVerifier& verifier, std::string* reason) {
  const std::string path = folder + platform::kSeparator + name;
  const auto bytes = readWhole(path, reason);
  std::optional<SignatureSet> set = bytes ? SignatureSet::parse(*bytes, folder, reason) : std::nullopt;
  if (set && verified) {
    std::string signatureFailure;
    const auto signature = readWhole(path + ".minisig", &signatureFailure);
    if (!signature) *reason = "its signature file is " + signatureFailure;
    if (!signature || !verifier(*bytes, *signature, reason)) set.reset();
  }
  if (!set) {
    *reason = std::string(name) + ": " + *reason;
    return nullptr;
  }
  return std::make_shared<const SignatureSet>(std::move(*set));
}

struct Loaded {
  SignatureCandidate candidate;
  std::shared_ptr<const SignatureSet> reference;
};

// A place holds a valid set when either of its files is valid: each user reads its own file and,
// when that one is not valid, the other (both carry the same names).
Loaded loadPlace(SignaturePlace place, const std::string& folder, const SetVerifier& verifier) {
  Loaded loaded{{place, folder, nullptr, {}, true}, nullptr};
  const bool update = place != SignaturePlace::Program;
  const auto exists = [&](const char* name) { return platform::fileAttributes(folder + platform::kSeparator + name); };
  loaded.candidate.present = exists(kScanDatabase) || exists(kReferenceDatabase);
  if (update && !platform::isFolder(folder, platform::Links::Followed)) {
    loaded.candidate.refusal = "no such folder";
    return loaded;
  }
  if (update && !platform::isTrustedFolder(folder, &loaded.candidate.refusal)) return loaded;
  std::string scanRefusal, referenceRefusal;
  const auto scan = loadFile(folder, kScanDatabase, update, verifier, &scanRefusal);
  const auto reference = loadFile(folder, kReferenceDatabase, update, verifier, &referenceRefusal);
  loaded.candidate.set = scan ? scan : reference;
  loaded.reference = reference ? reference : scan;
  if (!loaded.candidate.set) loaded.candidate.refusal = scanRefusal + "; " + referenceRefusal;
  return loaded;
}
}  // namespace

void setSetVerifier(SetVerifier verifier) {
  const std::lock_guard guard(state().lock);
  state().verifier = std::move(verifier);
}

void reloadSignatures() {
  SetVerifier verifier;
  {
    const std::lock_guard guard(state().lock);
    verifier = state().verifier ? state().verifier : SetVerifier(refuseUnverified);
  }
  const std::pair<SignaturePlace, std::string> places[] = {{SignaturePlace::Program,
                                                            platform::environment().programFolder},
                                                           {SignaturePlace::User, core::userSignaturesFolder()},
                                                           {SignaturePlace::Machine, core::machineSignaturesFolder()}};
  std::vector<SignatureCandidate> candidates;
  std::optional<Loaded> best;
  for (const auto& [place, folder] : places) {
    Loaded loaded = loadPlace(place, folder, verifier);
    const auto& set = loaded.candidate.set;
    if (set && (!best || set->version() > best->candidate.set->version())) best = loaded;
    candidates.push_back(std::move(loaded.candidate));
  }
  const std::lock_guard guard(state().lock);
  state().loaded = true;
  state().candidates = std::move(candidates);
  state().current = best ? best->candidate.set : std::make_shared<const SignatureSet>();
  state().reference = best ? best->reference : state().current;
}

std::shared_ptr<const SignatureSet> currentSignatures() {
  if (!state().loaded) reloadSignatures();
  const std::lock_guard guard(state().lock);
  return state().current;
}

std::shared_ptr<const SignatureSet> currentReference() {
  if (!state().loaded) reloadSignatures();
  const std::lock_guard guard(state().lock);
  return state().reference;
}

bool haveSignatures() { return currentSignatures()->count() > 0; }

std::vector<SignatureCandidate> signatureCandidates() {
  if (!state().loaded) reloadSignatures();
  const std::lock_guard guard(state().lock);
  return state().candidates;
}

}  // namespace halvik::engine
