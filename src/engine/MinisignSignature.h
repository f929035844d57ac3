#pragma once

#include "engine/MinisignKey.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace halvik::engine {

// A detached minisign signature (a ".minisig" file): a line "untrusted comment: ...", the base64
// of the algorithm ("Ed": Ed25519 over the message; "ED": over its BLAKE2b-512 hash), the
// signer's key id and the signature, a line "trusted comment: <text>", and the base64 of the
// global signature, Ed25519 over the signature followed by the trusted comment's text.
class MinisignSignature {
 public:
  // The signature in the bytes of a ".minisig" file; nullopt when they are not one.
  static std::optional<MinisignSignature> parse(std::string_view fileBytes);

  const MinisignKey::KeyId& keyId() const { return m_keyId; }
  const std::string& trustedComment() const { return m_trustedComment; }
  bool hashed() const { return m_hashed; }

  // True when both the signature of `message` and the global signature verify with `key`,
  // whose key id must be the signer's.
  bool verifies(std::string_view message, const MinisignKey& key) const;

 private:
  MinisignSignature() = default;

  bool m_hashed = false;
  MinisignKey::KeyId m_keyId{};
  std::array<std::uint8_t, 64> m_signature{};
  std::string m_trustedComment;
  std::array<std::uint8_t, 64> m_globalSignature{};
};

}  // namespace halvik::engine
