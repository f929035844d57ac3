#pragma once

#include <string>

// The program's general module.
namespace mMain {

// Appends "[time] message" to the day's file in the data folder's "Logs" folder when
// logging is on (setting "LogFile" other than "0"). Control characters in the message are
// replaced so that one event is always one line. Failures are silent: the line is lost.
void WriteLog(const std::string& message);

}  // namespace mMain
