// The current date and time in the user's short forms (LC_TIME).
#include "platform/Platform.h"

#include <clocale>
#include <cstring>
#include <ctime>
#include <langinfo.h>
#include <locale.h>

namespace halvik::platform {
namespace {
// The date form of the C and POSIX locales, which stand for "no regional forms".
constexpr const char* kCDateForm = "%m/%d/%y";

// Formats the current local time with `form` in the user's LC_TIME, or with `fallback`
// when the user has no regional forms (the C or POSIX locale, or one that is not installed).
std::string now(nl_item form, const char* fallback) {
  const std::time_t seconds = std::time(nullptr);
  std::tm local{};
  if (!localtime_r(&seconds, &local)) return std::string();
  char text[128] = {};
  const locale_t user = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
  const char* format = fallback;
  if (user && std::strcmp(nl_langinfo_l(D_FMT, user), kCDateForm) != 0) format = nl_langinfo_l(form, user);
  std::size_t length = 0;
  if (user)
    length = strftime_l(text, sizeof text, format, &local, user);
  else
    length = std::strftime(text, sizeof text, format, &local);
  if (user) freelocale(user);
  return std::string(text, length);
}
}  // namespace

std::string shortDate() { return now(D_FMT, "%d/%m/%Y"); }

std::string shortTime() { return now(T_FMT, "%H:%M:%S"); }

}  // namespace halvik::platform
