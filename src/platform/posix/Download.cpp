// http:// and https:// through libcurl.
#include "platform/Download.h"

#include <curl/curl.h>

#include <memory>

namespace halvik::platform {
namespace {

struct Receiver {
  std::string bytes;
  std::uint64_t maxBytes = 0;
  bool tooLarge = false;
};

// Called by libcurl for each piece received: a piece that would pass the limit stops the
// transfer at once, whatever the server announced.
std::size_t receive(char* data, std::size_t size, std::size_t count, void* user) {
  auto& receiver = *static_cast<Receiver*>(user);
  const std::size_t length = size * count;
  if (receiver.bytes.size() + length > receiver.maxBytes) {
    receiver.tooLarge = true;
    return 0;
  }
  receiver.bytes.append(data, length);
  return length;
}

bool curlReady() {
  static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return ready;
}

void setLimits(CURL* curl, const DownloadLimits& limits, Receiver& receiver) {
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, limits.maxRedirects);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(limits.connectTimeout.count()));
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, static_cast<long>(limits.totalTimeout.count()));
  curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "Orvento Halvik");
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, receive);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &receiver);
}

}  // namespace

Download downloadUrl(const std::string& url, const DownloadLimits& limits) {
  if (!curlReady()) return Download{Download::Outcome::Failed, {}, "libcurl could not start"};
  const std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
  if (!curl) return Download{Download::Outcome::Failed, {}, "libcurl could not start"};
  Receiver receiver;
  receiver.maxBytes = limits.maxBytes;
  char error[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(curl.get(), CURLOPT_ERRORBUFFER, error);
  curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
  setLimits(curl.get(), limits, receiver);
  const CURLcode result = curl_easy_perform(curl.get());
  if (receiver.tooLarge || result == CURLE_FILESIZE_EXCEEDED) return Download{Download::Outcome::TooLarge, {}, {}};
  if (result != CURLE_OK)
    return Download{Download::Outcome::Failed, {}, *error ? std::string(error) : curl_easy_strerror(result)};
  return Download{Download::Outcome::Received, std::move(receiver.bytes), {}};
}

}  // namespace halvik::platform
