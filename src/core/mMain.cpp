#include "core/mMain.h"

#include "core/Locations.h"
#include "core/Settings.h"
#include "platform/Platform.h"

#include <algorithm>

namespace mMain {
namespace {
// One event is one line: a control character (a line feed in a file name, say) becomes "?".
std::string oneLine(std::string message) {
  std::replace_if(
      message.begin(), message.end(),
      [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
      },
      '?');
  return message;
}
}  // namespace

void WriteLog(const std::string& message) {
  if (settings::read(settings::LogFile) == "0") return;
  const std::string folder = core::dataSubfolder("Logs");
  core::createDataSubfolder("Logs");  // a failure shows at the append, which then fails silently
  std::string date = platform::shortDate();
  std::replace(date.begin(), date.end(), '/', '_');
  platform::appendLine(folder + platform::kSeparator + date + ".txt", "[" + platform::shortTime() + "] " + oneLine(message));
}

}  // namespace mMain
