#include "engine/TrustedKeys.h"

#include "core/Locations.h"
#include "engine/MinisignSignature.h"
#include "platform/Platform.h"
#include "platform/ProfileFile.h"
#include "platform/TrustedFolder.h"

#include <algorithm>

namespace halvik::engine {
namespace {
constexpr std::uint64_t kMaxKeyFileSize = 4096;
}  // namespace

TrustedKeys TrustedKeys::fromFolder(const std::string& folder) {
  std::vector<MinisignKey> keys;
  if (!platform::isTrustedFolder(folder)) return TrustedKeys(std::move(keys));
  const auto entries = platform::listFolder(folder, "*", 0);
  for (const platform::DirEntry& entry : entries.value_or(std::vector<platform::DirEntry>{})) {
    if (entry.attributes & (platform::kReparsePoint | platform::kFolder)) continue;
    const std::string path = folder + platform::kSeparator + entry.name;
    // A key file others may write is no key of the folder's owner (on Windows the folder's access
    // list decides). A key file is a few lines: a large file is no key and is never read whole.
    const auto status = platform::fileStatus(path);
    if (!status || status->size > kMaxKeyFileSize || (status->permissions && (status->permissions->mode & 022)))
      continue;
    const platform::FileContent content = platform::readFile(path);
    if (content.status != platform::FileContent::Status::Read) continue;
    if (const auto key = MinisignKey::parse(content.bytes)) keys.push_back(*key);
  }
  return TrustedKeys(std::move(keys));
}

TrustedKeys TrustedKeys::installed() { return fromFolder(core::programFile(kKeysFolder)); }

SignatureCheck TrustedKeys::check(std::string_view message, std::string_view signatureFile) const {
  const auto signature = MinisignSignature::parse(signatureFile);
  if (!signature) return SignatureCheck::Malformed;
  const auto key = std::find_if(m_keys.begin(), m_keys.end(),
                                [&](const MinisignKey& trusted) { return trusted.keyId == signature->keyId(); });
  if (key == m_keys.end()) return SignatureCheck::UntrustedKey;
  return signature->verifies(message, *key) ? SignatureCheck::Verified : SignatureCheck::BadSignature;
}

const char* describe(SignatureCheck check) {
  switch (check) {
    case SignatureCheck::Verified: return "the signature verifies";
    case SignatureCheck::Malformed: return "the signature file is malformed";
    case SignatureCheck::UntrustedKey: return "signed by an untrusted key";
    case SignatureCheck::BadSignature: return "the signature does not match the file";
  }
  return "";
}

}  // namespace halvik::engine
