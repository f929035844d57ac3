#include "engine/FeedFiles.h"

#include "platform/Download.h"
#include "platform/Platform.h"

namespace halvik::engine {
namespace {

// `name` inside the feed `location`: after a "/" in a URL, after the system's separator in a
// folder's path.
std::string feedFile(const std::string& location, const std::string& name) {
  const bool url = location.find("://") != std::string::npos;
  const char separator = url ? '/' : platform::kSeparator;
  const bool ended = !location.empty() && (location.back() == separator || location.back() == '/');
  return ended ? location + name : location + separator + name;
}

}  // namespace

FeedFetch fetchFeed(const std::string& location) {
  FeedFetch fetch;
  const std::string setName = kFeedSetName;
  for (const std::string& name : {setName, setName + kSignatureSuffix}) {
    const bool set = name == setName;
    platform::Download got =
        platform::download(feedFile(location, name), {.maxBytes = set ? kMaxSetSize : kMaxSignatureSize});
    if (got.outcome != platform::Download::Outcome::Received) {
      fetch.tooLarge = got.outcome == platform::Download::Outcome::TooLarge;
      fetch.reason = fetch.tooLarge ? name + " is too large" : got.reason;
      return fetch;
    }
    (set ? fetch.files.set : fetch.files.signature) = std::move(got.bytes);
  }
  fetch.fetched = true;
  return fetch;
}

}  // namespace halvik::engine
