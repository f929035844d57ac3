// One window per user and program folder on Windows: a later start hands its folder to the
// running window and ends at once with status 0.
#include "app/Handover.h"
#include "core/Locations.h"
#include "platform/LocalPipe.h"
#include "platform/Platform.h"

#include "support/TempFolder.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

namespace halvik::app {

namespace {
using testing_support::TempFolder;
using testing_support::waitFor;
namespace fs = std::filesystem;

// A started copy of the program, killed at the end (as a crash or the task manager would) unless
// it ended by itself.
class Started {
 public:
  explicit Started(std::string command) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_process);
  }
  ~Started() {
    TerminateProcess(m_process.hProcess, 9);
    WaitForSingleObject(m_process.hProcess, INFINITE);
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
  }
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;

  bool running() const { return WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT; }

  // The exit status once it has ended by itself, or -1.
  int status() const {
    DWORD code = 0;
    if (!waitFor([&] { return !running(); }) || !GetExitCodeProcess(m_process.hProcess, &code)) return -1;
    return static_cast<int>(code);
  }

 private:
  PROCESS_INFORMATION m_process{};
};

class SingleWindowWin32Test : public ::testing::Test {
 protected:
  // A portable copy of the program (its databases beside it) on the system's own platform
  // plugin, the only one it links (under Wine without a display its windows show nowhere).
  SingleWindowWin32Test() {
    fs::create_directories(program);
    for (const char* file : {"orvento-halvik.exe", "scan.dll", "REFERENCE_6-27-03.dat"})
      fs::copy(platform::programFolder() + "\\" + file, program + "\\" + file);
    SetEnvironmentVariableA("QT_QPA_PLATFORM", nullptr);
  }

  Started start(const std::string& argument = {}) {
    return Started("\"" + program + "\\orvento-halvik.exe\"" + (argument.empty() ? "" : " \"" + argument + "\""));
  }

  // True once a window of the copy serves its pipe (a request that is not one is dropped).
  bool served() const {
    char answer = 0;
    const std::string name = instanceServerName(core::runtimeFolder(), program);
    return platform::callPipe(name, program + "\\orvento-halvik.exe", "x:", answer, 1000).code() != platform::kNotFound;
  }

  TempFolder root;
  const std::string program = root / "program";
};

// A killed first copy leaves the name free: the next one serves, and a later start with a folder
// reaches it and ends.
TEST_F(SingleWindowWin32Test, ALaterStartReachesTheRunningWindowEvenAfterAFirstCopyWasKilled) {
  {
    Started killed = start();
    ASSERT_TRUE(waitFor([&] { return served(); }));
  }
  Started next = start();
  ASSERT_TRUE(waitFor([&] { return served(); }));
  fs::create_directories(root / "folder");
  EXPECT_EQ(start(root / "folder").status(), 0);
  EXPECT_TRUE(next.running());
}

}  // namespace

}  // namespace halvik::app
