#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace halvik::engine {

// A minisign public key: its 8-byte key id and its Ed25519 key. The file holds a line
// "untrusted comment: ..." and the base64 of "Ed", the key id and the key.
struct MinisignKey {
  using KeyId = std::array<std::uint8_t, 8>;

  KeyId keyId{};
  std::array<std::uint8_t, 32> publicKey{};

  // The key in the bytes of a public-key file; nullopt when they are not one.
  static std::optional<MinisignKey> parse(std::string_view fileBytes);
};

}  // namespace halvik::engine
