#pragma once

#include <optional>
#include <string>
#include <string_view>

// Percent-encoding of text kept in profile files: a byte is written as "%" and two upper-case
// hex digits, so that any bytes survive a format that trims, folds or reads some bytes as
// structure. Control bytes and "%" are always encoded, letters only when the caller asks.
namespace halvik::core::percent {

// What happens to spaces at either end of the text (the profile reader trims them in names).
enum class Ends { Kept, Encoded };

// `text` with every control byte, "%" and every byte of `reserved` encoded, and its end
// spaces too when `ends` is Encoded.
std::string encode(std::string_view text, std::string_view reserved, Ends ends = Ends::Kept);

// The text an encoded text stands for; nullopt on a "%" without two hex digits (either case).
std::optional<std::string> decode(std::string_view text);

}  // namespace halvik::core::percent
