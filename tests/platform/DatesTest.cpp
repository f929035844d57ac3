#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <regex>

namespace halvik::platform {

namespace {

// Sets LC_ALL for the life of the object and restores it afterwards.
class ScopedLocale {
 public:
  explicit ScopedLocale(const char* name) {
    if (const char* old = std::getenv("LC_ALL")) m_saved = old;
    setenv("LC_ALL", name, 1);
  }
  ~ScopedLocale() {
    if (m_saved)
      setenv("LC_ALL", m_saved->c_str(), 1);
    else
      unsetenv("LC_ALL");
  }

 private:
  std::optional<std::string> m_saved;
};

std::string localNow(const char* format) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[64];
  return std::string(text, std::strftime(text, sizeof text, format, &local));
}

TEST(Dates, WithoutRegionalFormsUseDayMonthYearAndTwentyFourHours) {
  for (const char* name : {"C", "POSIX", "xx_NOWHERE.UTF-8"}) {
    ScopedLocale locale(name);
    const std::string before = localNow("%d/%m/%Y");
    const std::string date = platform::shortDate();
    EXPECT_TRUE(date == before || date == localNow("%d/%m/%Y")) << name << ": " << date;
    EXPECT_TRUE(std::regex_match(platform::shortTime(), std::regex("[0-2][0-9]:[0-5][0-9]:[0-6][0-9]"))) << name;
  }
}

TEST(Dates, WindowsFolderIsUsr) { EXPECT_EQ(platform::windowsFolder(), "/usr"); }

}  // namespace

}  // namespace halvik::platform
