#pragma once

#include "core/Locations.h"
#include "engine/SignatureDb.h"
#include "engine/mScanFiles.h"
#include "support/TestEnvironment.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace halvik::testing_support {

// Records what the walker shows in the results window; `Base` is the view interface it fakes.
template <class Base = engine::mScanFiles::ScanView>
class FakeScanViewOf : public Base {
 public:
  bool visible() const override { return shown; }
  void close() override {
    shown = false;
    ++closes;
  }
  void setCurFile(const std::string& path) override { curFile = path; }
  void setObjectsScanned(const std::string& count) override { objectsScanned = count; }
  void setMaliciousObjects(const std::string& count) override { maliciousObjects = count; }
  void addHit(const engine::mScanFiles::Hit& hit) override {
    hits.emplace_back(hit.threatName, hit.path);
    seen.push_back(hit);
  }

  std::vector<std::string> hitPaths() const {
    std::vector<std::string> paths;
    for (const auto& hit : hits) paths.push_back(hit.second);
    return paths;
  }

  bool shown = true;
  int closes = 0;
  std::string curFile;
  std::string objectsScanned;
  std::string maliciousObjects;
  std::vector<std::pair<std::string, std::string>> hits;  // threat name and path of each hit
  std::vector<engine::mScanFiles::Hit> seen;              // each hit whole
};
using FakeScanView = FakeScanViewOf<>;

// A program folder with a signature database of the given "name=threat" lines, current and
// the shared reader set as a scan sets it, and a folder to build trees in.
class ScanFixture : public ::testing::Test {
 protected:
  void useDatabase(const std::vector<std::string>& lines) {
    std::string text = "[scanfiles]\r\n";
    for (const auto& line : lines) text += line + "\r\n";
    writeFile(core::programFile(engine::kScanDatabase), text);
    engine::SignatureDb.setPath(core::programFile(engine::kScanDatabase));
    engine::SignatureDb.setSection("SCANFILES");
    engine::reloadSignatures();
  }

  void TearDown() override { engine::mScanFiles::setScanRunning(false); }

  TestEnvironment environment;
  TempFolder tree;
};

// Lines of today's activity log that contain `text`.
inline int logLinesWith(const std::string& text) {
  int count = 0;
  const std::string logs = core::programFile("Logs");
  if (!std::filesystem::exists(logs)) return 0;
  for (const auto& file : std::filesystem::directory_iterator(logs)) {
    const std::string content = readFile(file.path().string());
    for (std::size_t at = content.find(text); at != std::string::npos; at = content.find(text, at + 1)) ++count;
  }
  return count;
}

#ifndef _WIN32
enum class MountedCheck { Passed, Failed, Refused };

// Runs `check` in a child process with a mount namespace of its own, after binding each first
// folder of `binds` onto its second: nobody else sees the mounts, and they go with the child.
// Refused when the system gives no such namespace (it needs root).
inline MountedCheck withBindMounts(const std::vector<std::pair<std::string, std::string>>& binds,
                                   const std::function<bool()>& check) {
  const pid_t child = fork();
  if (child < 0) return MountedCheck::Refused;
  if (child == 0) {
    bool mounted = unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    for (const auto& [source, target] : binds)
      mounted = mounted && mount(source.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) == 0;
    _exit(!mounted ? 77 : check() ? 0 : 1);
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return MountedCheck::Failed;
  if (WEXITSTATUS(status) == 77) return MountedCheck::Refused;
  return WEXITSTATUS(status) == 0 ? MountedCheck::Passed : MountedCheck::Failed;
}

#endif

}  // namespace halvik::testing_support
