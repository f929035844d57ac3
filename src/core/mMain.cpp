#include "core/mMain.h"

#include "core/Locations.h"
#include "core/Settings.h"
#include "platform/Ascii.h"
#include "platform/Platform.h"

#include <algorithm>
#include <string_view>

namespace halvik::core::mMain {
namespace {
// The line breaks of Unicode beyond the control characters, in UTF-8: U+0085 (NEL), U+2028
// (line separator) and U+2029 (paragraph separator). Some viewers break lines at them.
constexpr std::string_view kUnicodeBreaks[] = {"\xC2\x85", "\xE2\x80\xA8", "\xE2\x80\xA9"};

// The length of the line break that starts `text`, 0 when there is none.
std::size_t breakAt(std::string_view text) {
  if (platform::isControl(text.front())) return 1;
  for (const std::string_view lineBreak : kUnicodeBreaks)
    if (text.starts_with(lineBreak)) return lineBreak.size();
  return 0;
}

// One event is one line: a control character (a line feed in a file name, say) or another
// line break becomes one "?".
std::string oneLine(std::string_view message) {
  std::string line;
  line.reserve(message.size());
  while (!message.empty()) {
    const std::size_t length = breakAt(message);
    line += length ? '?' : message.front();
    message.remove_prefix(length ? length : 1);
  }
  return line;
}
}  // namespace

void WriteLog(const std::string& message, const LogEvent& event) {
  if (core::settings::onWhenOne(core::settings::Key::SystemLog))
    platform::sendToSystemLog(systemLogEntryOf(oneLine(message), event));
  if (!core::settings::onUnlessZero(core::settings::Key::LogFile)) return;
  const std::string folder = core::dataSubfolder("Logs");
  core::createDataSubfolder("Logs");  // a failure shows at the append, which then fails silently
  std::string date = platform::shortDate();
  std::replace(date.begin(), date.end(), '/', '_');
  platform::appendLine(folder + platform::kSeparator + date + ".txt",
                       "[" + platform::shortTime() + "] " + oneLine(message));
}

}  // namespace halvik::core::mMain
