#include "app/Handover.h"

#include <charconv>
#include <cstdint>
#include <cstdio>

namespace halvik::app {

namespace {
// Far more than any command line: a longer frame is not one of ours.
constexpr std::size_t kLargestFrame = 4 * 1024 * 1024;

std::string netstring(std::string_view bytes) { return std::to_string(bytes.size()) + ":" + std::string(bytes) + ","; }

// Reads one netstring from the front of `bytes`: Incomplete when it is cut short, Malformed
// when it cannot be one.
Decoded::State take(std::string_view& bytes, std::string_view& item) {
  const auto colon = bytes.find(':');
  if (colon == std::string_view::npos) return bytes.size() > 7 ? Decoded::State::Malformed : Decoded::State::Incomplete;
  std::size_t length = 0;
  const auto [end, error] = std::from_chars(bytes.data(), bytes.data() + colon, length);
  if (colon == 0 || error != std::errc() || end != bytes.data() + colon || length > kLargestFrame)
    return Decoded::State::Malformed;
  if (bytes.size() < colon + length + 2) return Decoded::State::Incomplete;
  if (bytes[colon + 1 + length] != ',') return Decoded::State::Malformed;
  item = bytes.substr(colon + 1, length);
  bytes.remove_prefix(colon + length + 2);
  return Decoded::State::Complete;
}

bool readItems(std::string_view items, Handover& handover) {
  std::string_view page, settings, activation, folder;
  if (take(items, page) != Decoded::State::Complete || take(items, settings) != Decoded::State::Complete ||
      take(items, activation) != Decoded::State::Complete)
    return false;
  if (page.size() > 1 || (page.size() == 1 && (page[0] < '0' || page[0] > '4'))) return false;
  if (settings != "0" && settings != "1") return false;
  if (!page.empty()) handover.page = page[0] - '0';
  handover.settings = settings == "1";
  handover.activation = activation;
  while (!items.empty()) {
    if (take(items, folder) != Decoded::State::Complete) return false;
    handover.folders.emplace_back(folder);
  }
  return true;
}

// FNV-1a: a short, stable name for a folder path of any length.
std::string digest(std::string_view text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  return hex;
}
}  // namespace

std::string encode(const Handover& handover) {
  std::string items = netstring(handover.page ? std::to_string(*handover.page) : std::string());
  items += netstring(handover.settings ? "1" : "0");
  items += netstring(handover.activation);
  for (const std::string& folder : handover.folders) items += netstring(folder);
  return netstring(items);
}

Decoded decode(std::string_view bytes) {
  std::string_view items;
  Decoded decoded;
  decoded.state = take(bytes, items);
  if (decoded.state != Decoded::State::Complete) return decoded;
  if (!bytes.empty() || !readItems(items, decoded.handover)) decoded = Decoded{Decoded::State::Malformed, {}};
  return decoded;
}

std::string instanceServerName(const std::string& runtimeFolder, const std::string& programFolder) {
#ifdef _WIN32
  // Pipe names are machine-wide: the user's own runtime folder makes the name theirs.
  return "orvento-halvik-window-" + digest(runtimeFolder + '\n' + programFolder);
#else
  return runtimeFolder + "/orvento-halvik-window-" + digest(programFolder);
#endif
}

}  // namespace halvik::app
