#pragma once

#include <string>

namespace halvik::watch {

// A text of the file system (a path, a threat name) as a notice shows it: as plain text.
std::string noticeText(const std::string& text);

}  // namespace halvik::watch
