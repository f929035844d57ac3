#pragma once

#include "core/Locations.h"
#include "engine/SignatureDb.h"
#include "engine/mScanFiles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace testing_support {

// Records what the walker shows in the results window.
class FakeScanView : public mScanFiles::ScanView {
 public:
  bool visible() const override { return shown; }
  void close() override {
    shown = false;
    ++closes;
  }
  void setCurFile(const std::string& path) override { curFile = path; }
  void setObjectsScanned(const std::string& count) override { objectsScanned = count; }
  void setMaliciousObjects(const std::string& count) override { maliciousObjects = count; }
  void addHit(const std::string& threatName, const std::string& path) override { hits.emplace_back(threatName, path); }

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
  std::vector<std::pair<std::string, std::string>> hits;
};

// A program folder with a signature database of the given "name=threat" lines, the shared
// reader pointed at it as a scan sets it, and a folder to build trees in.
class ScanFixture : public ::testing::Test {
 protected:
  void useDatabase(const std::vector<std::string>& lines) {
    std::string text = "[scanfiles]\r\n";
    for (const auto& line : lines) text += line + "\r\n";
    writeFile(core::programFile(kScanDatabase), text);
    SignatureDb.setPath(core::programFile(kScanDatabase));
    SignatureDb.setSection("SCANFILES");
  }

  void TearDown() override {
    mScanFiles::setScanRunning(false);
    mScanFiles::setYieldInterval(std::chrono::milliseconds(15));
  }

  ScopedLocations locations;
  TempFolder tree;
};

}  // namespace testing_support
