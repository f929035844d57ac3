#include "watch/NoticeText.h"

namespace halvik::watch {

std::string noticeText(const std::string& text) { return text; }

}  // namespace halvik::watch
