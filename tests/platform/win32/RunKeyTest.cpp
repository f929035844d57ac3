// The start-up entry in a Run key, written under a key of the tests' own in HKEY_CURRENT_USER.
#include "platform/Platform.h"

#include "support/TempFolder.h"
#include "support/Windows.h"

#include <gtest/gtest.h>

namespace halvik::platform {

namespace {
using platform::RegistryRoot;

class RunKey : public testing::Test {
 protected:
  ~RunKey() override { RegDeleteTreeA(HKEY_CURRENT_USER, m_key.c_str()); }

  const std::string& key() const { return m_key; }

  bool keyExists() const { return testing_support::registryKeyExists(m_key); }
  std::pair<DWORD, std::string> value(const std::string& name) const {
    return testing_support::registryValue(m_key, name);
  }

 private:
  testing_support::TempFolder m_unique;
  std::string m_key = "Software\\Orvento Halvik Test Run-" + std::filesystem::path(m_unique.path()).filename().string();
};

TEST_F(RunKey, WritesAStringWithItsTerminatingZeroOnlyIntoAnExistingKey) {
  EXPECT_FALSE(platform::setRunValue(RegistryRoot::CurrentUser, key(), "bobbypin", "C:\\x\\Sentrel.exe", ""));
  EXPECT_FALSE(keyExists());

  // Removing creates the key (the removal of a value that is not there succeeds).
  EXPECT_TRUE(platform::deleteRunValue(RegistryRoot::CurrentUser, key() + "\\", "bobbypin", ""));
  ASSERT_TRUE(keyExists());

  const std::string data = "C:\\Program Files\\Orvento \xE9t\xE9\\Sentrel.exe";
  EXPECT_TRUE(platform::setRunValue(RegistryRoot::CurrentUser, key(), "bobbypin", data, ""));
  const auto [type, bytes] = value("bobbypin");
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(bytes, '"' + data + '"' + '\0') << "quoted, so that Windows never starts C:\\Program.exe";

  EXPECT_TRUE(platform::deleteRunValue(RegistryRoot::CurrentUser, key() + "\\", "bobbypin", ""));
  EXPECT_EQ(value("bobbypin").first, static_cast<DWORD>(REG_NONE));
  EXPECT_TRUE(platform::deleteRunValue(RegistryRoot::CurrentUser, key(), "bobbypin", ""));
}

}  // namespace

}  // namespace halvik::platform
