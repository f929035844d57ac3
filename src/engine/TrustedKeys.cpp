#include "engine/TrustedKeys.h"

#include "core/Locations.h"
#include "engine/MinisignSignature.h"
#include "platform/PathTrust.h"
#include "platform/Platform.h"
#include "platform/ProfileFile.h"

#include <algorithm>

namespace halvik::engine {
namespace {
// A key file is a few lines: anything much larger is not one and is never read whole.
constexpr std::uint64_t kMaxKeyFileSize = 4096;
}  // namespace

TrustedKeys TrustedKeys::fromFolder(const std::string& folder) {
  std::vector<MinisignKey> keys;
  if (!platform::pathTrusted(folder)) return TrustedKeys(std::move(keys));
  const auto entries = platform::listFolder(folder, "*", 0);
  for (const platform::DirEntry& entry : entries.value_or(std::vector<platform::DirEntry>{})) {
    if (entry.attributes & (platform::kReparsePoint | platform::kFolder)) continue;
    const std::string path = folder + platform::kSeparator + entry.name;
    const auto length = platform::fileLength(path);
    if (!length || *length > kMaxKeyFileSize || !platform::pathTrusted(path)) continue;
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

}  // namespace halvik::engine
