#pragma once

#include <string>

// One hit of a scan without a window as one line of standard output: the threat name, a tab,
// the full path. Both keep their bytes (non-UTF-8 ones too) except that a backslash, a tab, a
// line feed and every other control byte are written as "\\", "\t", "\n" and "\xHH", so one
// hit is always one line and a reader can take the bytes back.
namespace halvik::app {

std::string escapedForLine(const std::string& bytes);

// The hit line without its line feed.
std::string hitLine(const std::string& threatName, const std::string& path);

}  // namespace halvik::app
