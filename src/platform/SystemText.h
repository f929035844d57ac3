#pragma once

#include <cstdint>
#include <string>

namespace halvik::platform {

// Text written in the program's source (UTF-8) as bytes in the system's 8-bit encoding, the
// encoding of paths and stored values, so that it can be joined to them and shown like them.
// On Linux that encoding is UTF-8 and the text is returned as it is; on Windows it is the ANSI
// code page, where a character the code page lacks becomes "?".
std::string systemText(const std::string& utf8);

// The reverse for text meant for other programs: bytes in the system's 8-bit encoding as
// UTF-8. On Linux the bytes are returned as they are (they may not be valid UTF-8); on Windows
// they are converted from the ANSI code page.
std::string utf8FromSystem(const std::string& bytes);

// The length of the root that begins `path` ("/" on Linux, a drive root such as "C:\" on
// Windows), or 0 when `path` does not begin at a root.
std::size_t rootLength(const std::string& path);

// The system's description of its error `code` (errno on POSIX, a GetLastError code on
// Windows), one line in the system's 8-bit encoding, without a final period or line break.
std::string errorText(std::uint32_t code);

// The error the system reported for the call that just failed; never 0 (a failure the system
// gave no code for reads as an input/output error on POSIX, a general failure on Windows).
std::uint32_t lastErrorCode();

}  // namespace halvik::platform
