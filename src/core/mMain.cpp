#include "core/mMain.h"

#include "core/Locations.h"
#include "core/NoticeText.h"
#include "core/Settings.h"
#include "platform/Platform.h"

#include <algorithm>
#include <iostream>

namespace halvik::core::mMain {

void WriteLog(const std::string& message) {
  if (!core::settings::onUnlessZero(core::settings::Key::LogFile)) return;
  const std::string folder = core::dataSubfolder("Logs");
  const std::string line = "[" + platform::shortTime() + "] " + core::oneLine(message);
  // A log folder that is missing or not the user's own: the line goes to standard error instead.
  if (!core::createDataSubfolder("Logs")) {
    std::cerr << line << '\n';
    return;
  }
  std::string date = platform::shortDate();
  std::replace(date.begin(), date.end(), '/', '_');
  platform::appendLine(folder + platform::kSeparator + date + ".txt", line);
}

}  // namespace halvik::core::mMain
