#pragma once

#include "platform/Environment.h"
#include "support/TempFolder.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace halvik::testing_support {

// The tests' one way to change platform::environment(). For its life the program folder, the
// settings store, the autostart folder and the runtime folder are fresh folders of a temporary
// folder (on Windows the settings store is a registry key of its own), so that a test never
// touches the user's files; a test changes whatever else it needs through it
// (`environment->platformId = 1;`), and may run the clock by hand instead of sleeping. At the
// end the environment is put back as it was, and the folders are removed.
class TestEnvironment {
 public:
  TestEnvironment() : m_saved(platform::environment()) {
    for (const char* folder : {"program", "config", "autostart", "runtime"})
      std::filesystem::create_directories(m_root / folder);
    // A runtime folder nobody else may enter, as the session's is.
    std::filesystem::permissions(m_root / "runtime", std::filesystem::perms::owner_all);
    platform::Environment& environment = platform::environment();
    environment.programFolder = m_root / "program";
    environment.settingsFile = settingsLocation();
    environment.autostartFolder = m_root / "autostart";
    environment.runtimeFolder = m_root / "runtime";
    environment.dataFolder.clear();
    environment.machineSignaturesFolder = m_root / "machine-signatures";
  }
  ~TestEnvironment() {
    platform::environment() = m_saved;
#ifdef _WIN32
    RegDeleteTreeA(HKEY_CURRENT_USER, settingsLocation().c_str());
#endif
  }
  TestEnvironment(const TestEnvironment&) = delete;
  TestEnvironment& operator=(const TestEnvironment&) = delete;

  platform::Environment* operator->() const { return &platform::environment(); }

  std::string programFolder() const { return platform::environment().programFolder; }
  const TempFolder& root() const { return m_root; }

  // From now on the environment's clock stands still, where the system's clock is now, and
  // moves only by advanceClock.
  void useFakeClock() {
    auto now = std::make_shared<std::atomic<std::int64_t>>(platform::environment().clock.now());
    m_fakeNow = now;
    platform::environment().clock = platform::MonotonicClock{[now] { return now->load(); }, 0};
  }
  void advanceClock(std::chrono::nanoseconds by) { *m_fakeNow += by.count(); }

 private:
#ifdef _WIN32
  // The settings store is the registry: a key of its own directly under HKEY_CURRENT_USER's
  // "Software", named after the temporary folder and deleted at the end. No key is shared between
  // tests: deleting a shared parent once it looked empty raced with another test process creating
  // its key below it (the registry creates a path one level at a time), whose settings were then
  // silently lost.
  std::string settingsLocation() const {
    return "Software\\Orvento Halvik Test " + std::filesystem::path(m_root.path()).filename().string();
  }
#else
  std::string settingsLocation() const { return m_root / "config" + "/settings.ini"; }
#endif

  platform::Environment m_saved;
  TempFolder m_root;
  std::shared_ptr<std::atomic<std::int64_t>> m_fakeNow;
};

}  // namespace halvik::testing_support
