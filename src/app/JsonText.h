#pragma once

#include <string>
#include <string_view>

// The pieces of the JSON Lines a scan writes for other programs (--format json).
namespace halvik::app::json {

// `bytes` as UTF-8 text: every byte that does not belong to a well-formed UTF-8 sequence (an
// overlong form, a surrogate or a code point beyond U+10FFFF) becomes U+FFFD.
std::string validUtf8(std::string_view bytes);

// A JSON string of the UTF-8 text `utf8`, quotes included: the quote, the backslash and every
// control byte are escaped, everything else is written as it stands.
std::string quoted(std::string_view utf8);

// The standard base64 form of `bytes`, with padding.
std::string base64(std::string_view bytes);

// The members "path":P and, when the UTF-8 text P differs from the raw bytes (bytes that are no
// UTF-8, or a path converted from another code page), "path_bytes":B with the raw bytes in
// base64, so that nothing of a path is lost. No braces, no leading comma.
std::string pathMembers(const std::string& rawPath);

}  // namespace halvik::app::json
