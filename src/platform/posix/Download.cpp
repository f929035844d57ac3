// http:// and https:// through libcurl, loaded the first time something is downloaded: a program
// that never downloads (a scan from a terminal) starts without it and the thirty libraries it
// brings, whose start-up costs more than such a scan.
#include "platform/Download.h"

#include <curl/curl.h>
#include <dlfcn.h>

#include <memory>
#include <optional>

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

// The functions of libcurl the download uses.
struct Curl {
  CURLcode (*globalInit)(long flags);
  CURL* (*easyInit)();
  CURLcode (*easySetopt)(CURL* curl, CURLoption option, ...);
  CURLcode (*easyPerform)(CURL* curl);
  void (*easyCleanup)(CURL* curl);
  const char* (*easyStrerror)(CURLcode code);
};

template <typename Function>
bool resolve(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  return function != nullptr;
}

// libcurl's ABI (soname libcurl.so.4), loaded and started once; nullopt when it cannot be.
std::optional<Curl> loadCurl() {
  void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
  Curl curl{};
  if (!library || !resolve(library, "curl_global_init", curl.globalInit) ||
      !resolve(library, "curl_easy_init", curl.easyInit) || !resolve(library, "curl_easy_setopt", curl.easySetopt) ||
      !resolve(library, "curl_easy_perform", curl.easyPerform) ||
      !resolve(library, "curl_easy_cleanup", curl.easyCleanup) ||
      !resolve(library, "curl_easy_strerror", curl.easyStrerror) || curl.globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK)
    return std::nullopt;
  return curl;
}

const Curl* curlLibrary() {
  static const std::optional<Curl> curl = loadCurl();
  return curl ? &*curl : nullptr;
}

void setLimits(const Curl& library, CURL* curl, const DownloadLimits& limits, Receiver& receiver) {
  const auto setopt = library.easySetopt;
  setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  setopt(curl, CURLOPT_MAXREDIRS, limits.maxRedirects);
  setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(limits.connectTimeout.count()));
  setopt(curl, CURLOPT_TIMEOUT, static_cast<long>(limits.totalTimeout.count()));
  setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
  setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  setopt(curl, CURLOPT_FAILONERROR, 1L);
  setopt(curl, CURLOPT_NOSIGNAL, 1L);
  setopt(curl, CURLOPT_USERAGENT, "Orvento Halvik");
  setopt(curl, CURLOPT_WRITEFUNCTION, receive);
  setopt(curl, CURLOPT_WRITEDATA, &receiver);
}

}  // namespace

Download downloadUrl(const std::string& url, const DownloadLimits& limits) {
  const Curl* library = curlLibrary();
  if (!library) return Download{Download::Outcome::Failed, {}, "libcurl could not start"};
  const std::unique_ptr<CURL, void (*)(CURL*)> curl(library->easyInit(), library->easyCleanup);
  if (!curl) return Download{Download::Outcome::Failed, {}, "libcurl could not start"};
  Receiver receiver;
  receiver.maxBytes = limits.maxBytes;
  char error[CURL_ERROR_SIZE] = {};
  library->easySetopt(curl.get(), CURLOPT_ERRORBUFFER, error);
  library->easySetopt(curl.get(), CURLOPT_URL, url.c_str());
  setLimits(*library, curl.get(), limits, receiver);
  const CURLcode result = library->easyPerform(curl.get());
  if (receiver.tooLarge || result == CURLE_FILESIZE_EXCEEDED) return Download{Download::Outcome::TooLarge, {}, {}};
  if (result != CURLE_OK)
    return Download{Download::Outcome::Failed, {}, *error ? std::string(error) : library->easyStrerror(result)};
  return Download{Download::Outcome::Received, std::move(receiver.bytes), {}};
}

}  // namespace halvik::platform
