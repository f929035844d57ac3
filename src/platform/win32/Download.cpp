// http:// and https:// through WinHTTP.
#include "platform/Download.h"

#include "platform/Status.h"

#include <windows.h>
#include <winhttp.h>

#include <memory>
#include <optional>
#include <vector>

namespace halvik::platform {
namespace {

using Internet = std::unique_ptr<void, decltype(&WinHttpCloseHandle)>;

Internet own(HINTERNET handle) { return Internet(handle, WinHttpCloseHandle); }

Download failure(const std::string& what) {
  return Download{Download::Outcome::Failed, {}, what + ": " + Status::lastError().text()};
}

std::wstring wide(const std::string& text) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring converted(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), converted.data(), length);
  return converted;
}

struct Target {
  std::wstring host;
  std::wstring path;
  INTERNET_PORT port = 0;
  bool secure = false;
};

std::optional<Target> crack(const std::wstring& url) {
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(url.c_str(), 0, 0, &parts)) return std::nullopt;
  Target target;
  if (!parts.lpszHostName || !parts.dwHostNameLength) return std::nullopt;
  target.host.assign(parts.lpszHostName, parts.dwHostNameLength);
  if (parts.lpszUrlPath) target.path.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
  if (parts.lpszExtraInfo) target.path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (target.path.empty()) target.path = L"/";
  target.port = parts.nPort;
  target.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  return target;
}

void setLimits(HINTERNET session, const DownloadLimits& limits) {
  const int connect = static_cast<int>(std::chrono::milliseconds(limits.connectTimeout).count());
  const int total = static_cast<int>(std::chrono::milliseconds(limits.totalTimeout).count());
  WinHttpSetTimeouts(session, connect, connect, total, total);
  DWORD redirects = static_cast<DWORD>(limits.maxRedirects);
  WinHttpSetOption(session, WINHTTP_OPTION_MAX_HTTP_AUTOMATIC_REDIRECTS, &redirects, sizeof redirects);
}

// Reads the body while it fits the limit and the total time.
Download readBody(HINTERNET request, const DownloadLimits& limits) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(limits.totalTimeout.count()) * 1000;
  std::string bytes;
  std::vector<char> chunk(65536);
  for (;;) {
    DWORD read = 0;
    if (!WinHttpReadData(request, chunk.data(), static_cast<DWORD>(chunk.size()), &read))
      return failure("Reading failed");
    if (read == 0) return Download{Download::Outcome::Received, std::move(bytes), {}};
    if (bytes.size() + read > limits.maxBytes) return Download{Download::Outcome::TooLarge, {}, {}};
    if (GetTickCount64() > deadline) return Download{Download::Outcome::Failed, {}, "Timeout was reached"};
    bytes.append(chunk.data(), read);
  }
}

}  // namespace

Download downloadUrl(const std::string& url, const DownloadLimits& limits) {
  const auto target = crack(wide(url));
  if (!target) return failure("Bad URL " + url);
  const Internet session = own(WinHttpOpen(L"Orvento Halvik", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                           WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) return failure("WinHTTP could not start");
  setLimits(session.get(), limits);
  const Internet connection = own(WinHttpConnect(session.get(), target->host.c_str(), target->port, 0));
  if (!connection) return failure("Could not connect");
  const Internet request =
      own(WinHttpOpenRequest(connection.get(), L"GET", target->path.c_str(), nullptr, WINHTTP_NO_REFERER,
                             WINHTTP_DEFAULT_ACCEPT_TYPES, target->secure ? WINHTTP_FLAG_SECURE : 0));
  if (!request) return failure("Could not open the request");
  if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
      !WinHttpReceiveResponse(request.get(), nullptr))
    return failure("Could not reach " + url);
  DWORD code = 0;
  DWORD size = sizeof code;
  if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &code, &size, WINHTTP_NO_HEADER_INDEX))
    return failure("No status from " + url);
  if (code != 200)
    return Download{Download::Outcome::Failed, {}, "The requested URL returned error: " + std::to_string(code)};
  return readBody(request.get(), limits);
}

}  // namespace halvik::platform
