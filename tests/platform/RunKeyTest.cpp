#include "platform/Platform.h"

#include "support/TempFolder.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace halvik::platform {

namespace {
using platform::RegistryRoot;
using testing_support::readFile;
using testing_support::TempFolder;

const std::string kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Reads the program of an Exec value back as a desktop entry reader does: string escapes
// first, then the quoting of one argument, then "%%".
std::string programOfExec(const std::string& value) {
  std::string text;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      text.push_back(value[i]);
      continue;
    }
    const char next = value[++i];
    text.push_back(next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next == 's' ? ' ' : next);
  }
  std::string argument;
  if (!text.empty() && text.front() == '"') {
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
      if (text[i] == '\\') ++i;
      argument.push_back(text[i]);
    }
  } else {
    argument = text;
  }
  std::string program;
  for (std::size_t i = 0; i < argument.size(); ++i) {
    program.push_back(argument[i]);
    if (argument[i] == '%') ++i;
  }
  return program;
}

std::string lineOf(const std::string& content, const std::string& key) {
  const auto start = content.find("\n" + key + "=");
  if (start == std::string::npos) return "(none)";
  const auto from = start + key.size() + 2;
  return content.substr(from, content.find('\n', from) - from);
}

class RunKeyTest : public ::testing::Test {
 protected:
  std::string folder() const { return dir / "autostart"; }
  bool set(const std::string& name, const std::string& data, const std::string& key = kRunKey,
           RegistryRoot root = RegistryRoot::LocalMachine) {
    return platform::setRunValue(root, key, name, data, folder()).ok();
  }
  std::string entry(const std::string& name) const { return readFile(folder() + "/" + name + ".desktop"); }
  TempFolder dir;
};

TEST_F(RunKeyTest, WritesADesktopEntry) {
  ASSERT_TRUE(set("bobbypin", "/opt/halvik/Sentrel.exe"));
  EXPECT_EQ(entry("bobbypin"),
            "[Desktop Entry]\nType=Application\nName=bobbypin\nExec=/opt/halvik/Sentrel.exe\n"
            "X-GNOME-Autostart-enabled=true\n");
  ASSERT_TRUE(set("bobbypin", "/other/Sentrel.exe"));
  EXPECT_EQ(lineOf(entry("bobbypin"), "Exec"), "/other/Sentrel.exe");
  const auto entries = platform::listFolder(folder(), "*", platform::kHidden);
  ASSERT_TRUE(entries);
  EXPECT_EQ(entries->size(), 1u);  // no temporary file left
}

TEST_F(RunKeyTest, QuotesTheProgramPerTheDesktopEntryRules) {
  const std::pair<std::string, std::string> cases[] = {
      {"/opt/my apps/Sentrel.exe", "\"/opt/my apps/Sentrel.exe\""},
      {"/opt/a\"b/x", "\"/opt/a\\\\\"b/x\""},
      {"/opt/$HOME/x", "\"/opt/\\\\$HOME/x\""},
      {"/opt/100%/x", "/opt/100%%/x"},
      {"/opt/a b/100%", "\"/opt/a b/100%%\""},
      {"/opt/back\\slash", "\"/opt/back\\\\\\\\slash\""},
      {"/opt/tick`x", "\"/opt/tick\\\\`x\""},
      {"/opt/new\nline", "\"/opt/new\\nline\""},
  };
  for (const auto& [program, exec] : cases) {
    ASSERT_TRUE(set("bobbypin", program));
    const std::string value = lineOf(entry("bobbypin"), "Exec");
    EXPECT_EQ(value, exec) << program;
    EXPECT_EQ(programOfExec(value), program);
  }
  for (const std::string program : {"/a'b;c|d&e<f>g~h*i?j#k(l)m", "/\xff\xfe/x y", " lead", "/p/=x"}) {
    ASSERT_TRUE(set("bobbypin", program));
    EXPECT_EQ(programOfExec(lineOf(entry("bobbypin"), "Exec")), program);
  }
}

TEST_F(RunKeyTest, NameCannotAddLines) {
  ASSERT_TRUE(set("bob\nExec=evil", "/opt/x"));
  const std::string content = entry("bob\nExec=evil");
  EXPECT_EQ(lineOf(content, "Name"), "bob\\nExec=evil");
  EXPECT_EQ(lineOf(content, "Exec"), "/opt/x");
}

TEST_F(RunKeyTest, OnlyTheMachineRunKeyActs) {
  EXPECT_TRUE(set("a", "/x", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\"));
  EXPECT_TRUE(set("b", "/x", "software\\microsoft\\windows\\currentversion\\run"));
  EXPECT_FALSE(set("c", "/x", kRunKey, RegistryRoot::CurrentUser));
  EXPECT_FALSE(set("d", "/x", kRunKey + "Once"));
  EXPECT_FALSE(set("e", "/x", kRunKey + "\\\\"));
  EXPECT_FALSE(set("f", "/x", ""));
  EXPECT_FALSE(platform::deleteRunValue(RegistryRoot::CurrentUser, kRunKey, "a", folder()));
  EXPECT_FALSE(platform::deleteRunValue(RegistryRoot::LocalMachine, kRunKey + "Once", "a", folder()));
  const auto entries = platform::listFolder(folder(), "*", 0);
  ASSERT_TRUE(entries);
  EXPECT_EQ(entries->size(), 2u);
  EXPECT_TRUE(platform::deleteRunValue(RegistryRoot::LocalMachine, kRunKey + "\\", "a", folder()));
  EXPECT_FALSE(platform::deleteRunValue(RegistryRoot::LocalMachine, kRunKey, "a", folder()));
}

TEST_F(RunKeyTest, NamesThatLeaveTheFolderAreRejected) {
  for (const std::string& name :
       std::vector<std::string>{"", ".", "..", "../escape", "a/b", "/abs", std::string("nul\0x", 5)}) {
    EXPECT_FALSE(set(name, "/x")) << name;
    EXPECT_FALSE(platform::deleteRunValue(RegistryRoot::LocalMachine, kRunKey, name, folder())) << name;
  }
  EXPECT_FALSE(set("bobbypin", ""));
  EXPECT_FALSE(set("bobbypin", std::string("/x\0y", 4)));
  const auto outside = platform::listFolder(dir.path(), "*", platform::kHidden);
  ASSERT_TRUE(outside);
  EXPECT_TRUE(outside->empty());
}

TEST_F(RunKeyTest, CreatesOnlyTheLastFolderLevel) {
  EXPECT_TRUE(set("bobbypin", "/x"));  // "autostart" made inside the existing folder
  EXPECT_FALSE(platform::setRunValue(RegistryRoot::LocalMachine, kRunKey, "bobbypin", "/x", dir / "xdg/autostart"));
  EXPECT_FALSE(platform::fileAttributes(dir / "xdg"));
}

TEST_F(RunKeyTest, UnwritableFolderFails) {
  mkdir(folder().c_str(), 0555);
  testing_support::withoutRootOverrides([&] { EXPECT_FALSE(set("bobbypin", "/x")); });
}

}  // namespace

}  // namespace halvik::platform
