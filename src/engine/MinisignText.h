#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// The text rules the minisign key and signature files share.
namespace halvik::engine::minisign {

// The lines of a file, without their ends (LF or CR LF); a last line may lack one.
std::vector<std::string_view> lines(std::string_view text);

// The bytes of one line of standard base64 (padding as written), nullopt when it is not
// base64 of exactly `size` bytes.
std::optional<std::vector<std::uint8_t>> decodeBase64(std::string_view line, std::size_t size);

// The algorithm marks: Ed25519 over the message itself, or over its BLAKE2b-512 hash.
inline constexpr std::string_view kLegacyAlgorithm = "Ed";
inline constexpr std::string_view kHashedAlgorithm = "ED";
inline constexpr std::string_view kUntrustedPrefix = "untrusted comment:";
inline constexpr std::string_view kTrustedPrefix = "trusted comment: ";

// libsodium's one-time start, safe to call from any thread any number of times. False when the
// library cannot run here (no source of randomness); nothing may then be verified.
bool sodiumReady();

}  // namespace halvik::engine::minisign
