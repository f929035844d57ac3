#include "platform/Download.h"

#include "platform/Ascii.h"
#include "platform/Platform.h"
#include "platform/ProfileFile.h"

#include <optional>

namespace halvik::platform {
namespace {

constexpr std::string_view kFileScheme = "file://";

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The path of a file:// URL ("file:///srv/feed", "file://localhost/srv/feed"), %XX decoded; on
// Windows "file:///C:/feed" is "C:/feed". Nullopt for another host or a bad escape.
std::optional<std::string> pathOfFileUrl(std::string_view url) {
  std::string_view rest = url.substr(kFileScheme.size());
  if (startsWithIgnoringCase(rest, "localhost/")) rest.remove_prefix(9);
  if (rest.empty() || rest.front() != '/') return std::nullopt;
#ifdef _WIN32
  rest.remove_prefix(1);
#endif
  std::string path;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] != '%') {
      path += rest[i];
      continue;
    }
    const int high = i + 2 < rest.size() ? hexValue(rest[i + 1]) : -1;
    const int low = high < 0 ? -1 : hexValue(rest[i + 2]);
    if (low < 0 || (high == 0 && low == 0)) return std::nullopt;
    path += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return path;
}

Download failed(std::string reason) { return Download{Download::Outcome::Failed, {}, std::move(reason)}; }

Download readLocalFile(const std::string& path, const DownloadLimits& limits) {
  // Looked at before it is read, so that a huge file is never taken into memory.
  const auto status = fileStatus(path);
  if (status && status->size > limits.maxBytes) return Download{Download::Outcome::TooLarge, {}, {}};
  FileContent content = readFile(path);
  if (content.status == FileContent::Status::Missing) return failed("No such file: " + path);
  if (content.status != FileContent::Status::Read) return failed(Status::failure(content.error).text() + ": " + path);
  if (content.bytes.size() > limits.maxBytes) return Download{Download::Outcome::TooLarge, {}, {}};
  return Download{Download::Outcome::Received, std::move(content.bytes), {}};
}

}  // namespace

bool isWebUrl(const std::string& location) {
  return startsWithIgnoringCase(location, "http://") || startsWithIgnoringCase(location, "https://");
}

Download download(const std::string& location, const DownloadLimits& limits) {
  if (isWebUrl(location)) return downloadUrl(location, limits);
  if (!startsWithIgnoringCase(location, kFileScheme)) return readLocalFile(location, limits);
  const auto path = pathOfFileUrl(location);
  if (!path) return failed("Unsupported file URL: " + location);
  return readLocalFile(*path, limits);
}

}  // namespace halvik::platform
