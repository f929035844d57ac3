#pragma once

#include <cstdint>
#include <string>

namespace halvik::engine {

// The two files of a signature feed, as they were fetched (untrusted until checked).
struct FeedFiles {
  std::string set;        // "signatures.ini"
  std::string signature;  // "signatures.ini.minisig"
};

// What fetching a feed gave: its files, or why there are none.
struct FeedFetch {
  bool fetched = false;
  bool tooLarge = false;
  FeedFiles files;
  std::string reason;  // when not fetched: the library's or the system's words, in English
};

inline constexpr const char* kFeedSetName = "signatures.ini";
// The largest set an update accepts, and the largest signature file (a few lines).
inline constexpr std::uint64_t kMaxSetSize = std::uint64_t{64} << 20;
inline constexpr std::uint64_t kMaxSignatureSize = 64 << 10;
inline constexpr const char* kSignatureSuffix = ".minisig";

// Fetches "signatures.ini" and "signatures.ini.minisig" from `location`: an http:// or https://
// URL, a file:// URL or a folder, each file at most 64 MB.
FeedFetch fetchFeed(const std::string& location);

}  // namespace halvik::engine
