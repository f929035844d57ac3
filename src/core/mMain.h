#pragma once

#include "core/LogEvent.h"

#include <string>

// The program's general module.
namespace halvik::core::mMain {

// Appends "[time] message" to the day's file in the data folder's "Logs" folder when
// logging is on (setting "LogFile" other than "0"). Control characters and the Unicode line
// breaks U+0085, U+2028 and U+2029 in the message are replaced so that one event is always
// one line. The day's file is never written through a link ("Logs" itself may be one).
// Failures are silent: the line is lost. While the setting "SystemLog" is "1" (its default),
// whatever "LogFile" says, the message also goes to the system log with the fields of `event`.
void WriteLog(const std::string& message, const LogEvent& event = {});

}  // namespace halvik::core::mMain
