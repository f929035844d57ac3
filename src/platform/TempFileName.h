#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace halvik::platform {

// The hidden names our writers give their temporary files: ".halvik-<process>-<count>-<random
// hex>.tmp". The random part keeps a writer whose process identifier was reused from meeting
// the files of an earlier one.
std::string temporaryName(std::uint32_t processId, unsigned count, std::uint64_t random);

// True for our temporary names, those of earlier versions (without the random part)
// included: what a writer that died before renaming its file may have left behind. Lock
// files (".halvik-<hex>.lock") never match.
bool isTemporaryName(std::string_view name);

// A temporary file last modified this long ago was left by a writer that died: no live writer
// keeps one that long without writing to it.
inline constexpr std::int64_t kStaleTemporarySeconds = 60;

}  // namespace halvik::platform
