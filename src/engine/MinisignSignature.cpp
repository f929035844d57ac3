#include "engine/MinisignSignature.h"

#include "engine/MinisignText.h"

#include <algorithm>
#include <sodium.h>
#include <vector>

namespace halvik::engine {
namespace {
const unsigned char* bytesOf(std::string_view text) { return reinterpret_cast<const unsigned char*>(text.data()); }
}  // namespace

std::optional<MinisignSignature> MinisignSignature::parse(std::string_view fileBytes) {
  const auto lines = minisign::lines(fileBytes);
  if (lines.size() < 4 || !lines[0].starts_with(minisign::kUntrustedPrefix) ||
      !lines[2].starts_with(minisign::kTrustedPrefix))
    return std::nullopt;
  const auto signature = minisign::decodeBase64(lines[1], 2 + 8 + 64);
  const auto global = minisign::decodeBase64(lines[3], 64);
  if (!signature || !global) return std::nullopt;
  const std::string_view algorithm(reinterpret_cast<const char*>(signature->data()), 2);
  if (algorithm != minisign::kLegacyAlgorithm && algorithm != minisign::kHashedAlgorithm) return std::nullopt;
  MinisignSignature parsed;
  parsed.m_hashed = algorithm == minisign::kHashedAlgorithm;
  std::copy_n(signature->begin() + 2, parsed.m_keyId.size(), parsed.m_keyId.begin());
  std::copy_n(signature->begin() + 2 + 8, parsed.m_signature.size(), parsed.m_signature.begin());
  parsed.m_trustedComment = lines[2].substr(minisign::kTrustedPrefix.size());
  std::copy(global->begin(), global->end(), parsed.m_globalSignature.begin());
  return parsed;
}

bool MinisignSignature::verifies(std::string_view message, const MinisignKey& key) const {
  if (key.keyId != m_keyId || !minisign::sodiumReady()) return false;
  std::array<unsigned char, crypto_generichash_BYTES_MAX> hash{};
  if (m_hashed) {
    crypto_generichash(hash.data(), hash.size(), bytesOf(message), message.size(), nullptr, 0);
    message = std::string_view(reinterpret_cast<const char*>(hash.data()), hash.size());
  }
  if (crypto_sign_verify_detached(m_signature.data(), bytesOf(message), message.size(), key.publicKey.data()) != 0)
    return false;
  std::vector<unsigned char> global(m_signature.begin(), m_signature.end());
  global.insert(global.end(), m_trustedComment.begin(), m_trustedComment.end());
  return crypto_sign_verify_detached(m_globalSignature.data(), global.data(), global.size(), key.publicKey.data()) == 0;
}

}  // namespace halvik::engine
