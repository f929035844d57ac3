#include "engine/InstallState.h"

#include "platform/Ascii.h"
#include "platform/Platform.h"
#include "platform/ProfileFile.h"
#include "platform/WholeFile.h"

#include <charconv>

namespace halvik::engine::install_state {
namespace {
constexpr std::string_view kKey = "HighestVersion=";

std::string stateFile(const std::string& folder) { return folder + platform::kSeparator + kStateFile; }
}  // namespace

std::uint64_t recorded(const std::string& folder) {
  const platform::FileContent content = platform::readFile(stateFile(folder));
  if (content.status != platform::FileContent::Status::Read || content.bytes.size() > 256) return 0;
  std::string_view text = platform::trimmed(content.bytes, " \t\r\n");
  if (!text.starts_with(kKey)) return 0;
  text.remove_prefix(kKey.size());
  std::uint64_t version = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), version);
  return error == std::errc() && end == text.data() + text.size() ? version : 0;
}

bool record(const std::string& folder, std::uint64_t version) {
  return platform::writeWholeFile(stateFile(folder), std::string(kKey) + std::to_string(version) + "\r\n").ok();
}

}  // namespace halvik::engine::install_state
