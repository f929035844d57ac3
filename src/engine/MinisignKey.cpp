#include "engine/MinisignKey.h"

#include "engine/MinisignText.h"

#include <algorithm>

namespace halvik::engine {

std::optional<MinisignKey> MinisignKey::parse(std::string_view fileBytes) {
  const auto lines = minisign::lines(fileBytes);
  if (lines.size() < 2 || !lines[0].starts_with(minisign::kUntrustedPrefix)) return std::nullopt;
  const auto bytes = minisign::decodeBase64(lines[1], 2 + 8 + 32);
  if (!bytes || !std::equal(minisign::kLegacyAlgorithm.begin(), minisign::kLegacyAlgorithm.end(), bytes->begin()))
    return std::nullopt;
  MinisignKey key;
  std::copy_n(bytes->begin() + 2, key.keyId.size(), key.keyId.begin());
  std::copy_n(bytes->begin() + 2 + 8, key.publicKey.size(), key.publicKey.begin());
  return key;
}

}  // namespace halvik::engine
