#pragma once

#include <chrono>
#include <cstdint>
#include <string>

// Fetching a whole file from a location given by the user or the settings: an http:// or
// https:// URL (libcurl on Linux, WinHTTP on Windows; certificates verified), a file:// URL or
// a file's path (read directly). What is fetched is untrusted: the caller checks it.
namespace halvik::platform {

struct DownloadLimits {
  std::chrono::seconds connectTimeout{20};
  std::chrono::seconds totalTimeout{300};
  std::uint64_t maxBytes = std::uint64_t{64} << 20;  // enforced while receiving
  long maxRedirects = 3;
};

struct Download {
  enum class Outcome {
    Received,  // `bytes` holds the whole file
    TooLarge,  // it is larger than the limit: nothing is kept
    Failed,    // unreachable, refused, missing or cut short: `reason` says why
  };
  Outcome outcome = Outcome::Failed;
  std::string bytes;
  std::string reason;  // in English, the library's or the system's words
};

// The whole file at `location`: an http:// or https:// URL (redirects only to http or https),
// a file:// URL or a path.
Download download(const std::string& location, const DownloadLimits& limits = {});

// The backend's fetch of an http:// or https:// URL.
Download downloadUrl(const std::string& url, const DownloadLimits& limits);

// True when `location` is an http:// or https:// URL (scheme in any letter case).
bool isWebUrl(const std::string& location);

}  // namespace halvik::platform
