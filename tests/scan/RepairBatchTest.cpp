#include "scan/RepairBatch.h"

#include "quarantine/QuarantineStore.h"
#include "support/TestEnvironment.h"
#include "support/WalkedHits.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace halvik::scan {
namespace {
using namespace testing_support;
namespace fs = std::filesystem;

class RepairBatchTest : public ::testing::Test {
 protected:
  // `count` files named "evil.exe", each in a folder of its own and holding the folder's number;
  // the hits a scan makes on them, and each one's content by its path.
  std::vector<engine::mScanFiles::Hit> hits(int count) {
    for (int i = 0; i < count; ++i) {
      fs::create_directories(tree / std::to_string(i));
      writeFile(tree / (std::to_string(i) + "/evil.exe"), std::to_string(i));
    }
    auto found = walkedHits(tree.path(), {"evil.exe"});
    for (const auto& hit : found) contents[hit.path] = readFile(hit.path);
    return found;
  }
  // The original paths the quarantine's records name, for copies whose record holds.
  static std::set<std::string> recordedPaths() {
    std::set<std::string> paths;
    for (const auto& entry : quarantine::ListQuarantine())
      if (const auto record = quarantine::QuarantineRecordOf(entry.storedName)) paths.insert(record->originalPath);
    return paths;
  }

  TestEnvironment environment;
  TempFolder tree;
  std::map<std::string, std::string> contents;
};

TEST_F(RepairBatchTest, EachEntryIsDeletedOnlyOnceTheRecordOfItsCopyIsWritten) {
  environment.useFakeClock();  // batches by their count alone
  const auto found = hits(150);
  ASSERT_EQ(found.size(), 150u);
  std::vector<RepairOutcome> outcomes;
  {
    RepairBatch batch(true);
    for (const auto& hit : found) {
      batch.repair(
          hit,
          [&] {
            EXPECT_TRUE(recordedPaths().contains(hit.path)) << hit.path;
            return fs::exists(hit.path);
          },
          [&](RepairOutcome outcome) { outcomes.push_back(outcome); });
    }
    EXPECT_EQ(outcomes.size(), 100u) << "the first 100 copies make a batch";
  }
  EXPECT_EQ(outcomes, std::vector<RepairOutcome>(150, RepairOutcome::Removed));
  std::set<std::string> originals;
  for (const auto& hit : found) {
    EXPECT_FALSE(fs::exists(hit.path));
    originals.insert(hit.path);
  }
  EXPECT_EQ(recordedPaths(), originals) << "every copy of both batches has its record";
  for (const auto& entry : quarantine::ListQuarantine())
    EXPECT_EQ(readFile(quarantine::StoredPath(entry.storedName)),
              contents[quarantine::QuarantineRecordOf(entry.storedName)->originalPath]);
}

TEST_F(RepairBatchTest, ABatchIsWrittenOnceItsFirstCopyIsAQuarterOfASecondOld) {
  environment.useFakeClock();
  const auto found = hits(3);
  int told = 0;
  RepairBatch batch(true);
  for (int i = 0; i < 2; ++i) batch.repair(found[i], {}, [&](RepairOutcome) { ++told; });
  EXPECT_EQ(told, 0);
  EXPECT_TRUE(fs::exists(found[0].path));
  environment.advanceClock(std::chrono::milliseconds(250));
  batch.repair(found[2], {}, [&](RepairOutcome) { ++told; });
  EXPECT_EQ(told, 3);
  EXPECT_FALSE(fs::exists(found[0].path));
}

TEST_F(RepairBatchTest, WhenTheRecordsCannotBeWrittenEveryEntryAndNoCopyIsKept) {
  const auto found = hits(3);
  ASSERT_TRUE(quarantine::EnsureQuarantineFolder());
  fs::create_directory(quarantine::recordsFile(quarantine::QuarantineFolder()));
  std::vector<RepairOutcome> outcomes;
  {
    RepairBatch batch(true);
    for (const auto& hit : found) batch.repair(hit, {}, [&](RepairOutcome outcome) { outcomes.push_back(outcome); });
  }
  EXPECT_EQ(outcomes, std::vector<RepairOutcome>(3, RepairOutcome::Kept));
  for (const auto& hit : found) EXPECT_TRUE(fs::exists(hit.path));
  EXPECT_TRUE(quarantine::ListQuarantine().empty());
}

}  // namespace
}  // namespace halvik::scan
