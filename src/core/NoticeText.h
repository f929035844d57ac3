#pragma once

#include <string>
#include <string_view>

// Text that ends up in front of the user where another program decides how to show it (a log
// line, a desktop notification, a tray balloon): whatever a file name or a process's image path
// holds, it is shown as text, on one line, never as markup. Every notice of the companion and of
// the watcher goes through noticeText.
namespace halvik::core {

// How the service that shows a notice reads its body.
enum class NoticeMarkup {
  Plain,   // as text (a tray balloon, a notification service without "body-markup")
  Markup,  // as the freedesktop subset of HTML ("body-markup" among its capabilities)
};

// `text` on one line: each control character (a line feed in a file name, say) and each Unicode
// line break (U+0085, U+2028, U+2029) becomes one "?". The activity log's rule.
std::string oneLine(std::string_view text);

// `text` (bytes of a path or a name, any) as the body or summary of a notice: on one line, and
// for a service that reads markup with "&", "<", ">", '"' and "'" written as entities, so that no
// tag, link or image can come from it.
std::string noticeText(std::string_view text, NoticeMarkup markup);

}  // namespace halvik::core
