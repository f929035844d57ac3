#include "quarantine/QuarantineBatch.h"
#include "quarantine/QuarantineStore.h"
#include "support/QuarantineFile.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace halvik::quarantine {
namespace {
using testing_support::readFile;
using testing_support::writeFile;

class QuarantineBatchTest : public ::testing::Test {
 protected:
  // A detected file `name` holding its own path in the folder `folder` of the temporary root.
  std::string detected(const std::string& folder, const std::string& name) {
    const std::string path = m_environment.root() / (folder + "/" + name);
    std::filesystem::create_directories(m_environment.root() / folder);
    writeFile(path, path);
    return path;
  }
  std::optional<std::string> store(QuarantineBatch& batch, const std::string& path) {
    return batch.store(path, testing_support::openChecked(path), "Demo");
  }
  static std::string stored(const std::string& storedName) { return QuarantineFolder() + "/" + storedName; }

  testing_support::TestEnvironment m_environment;
};

TEST_F(QuarantineBatchTest, NamesComeFromOneListingAndANameTakenSinceIsRenumbered) {
  ASSERT_TRUE(EnsureQuarantineFolder());
  writeFile(stored("EVIL.exe.aaq"), "stored by hand, in another case");
  QuarantineBatch batch;
  EXPECT_EQ(store(batch, detected("a", "evil.exe")), "evil (2).exe.aaq");

  // Another writer (the companion's watch) stores the same name after the listing.
  const std::string other = detected("other", "evil.exe");
  ASSERT_TRUE(testing_support::quarantineFile(other));
  ASSERT_TRUE(std::filesystem::exists(stored("evil (3).exe.aaq")));

  const std::string second = detected("b", "evil.exe");
  EXPECT_EQ(store(batch, second), "evil (4).exe.aaq") << "the name taken meanwhile is skipped, never replaced";
  EXPECT_EQ(batch.waiting(), 2u);
  EXPECT_FALSE(QuarantineRecordOf("evil (4).exe.aaq")) << "no record before record()";
  ASSERT_TRUE(batch.record());

  EXPECT_EQ(readFile(stored("evil (3).exe.aaq")), other);
  ASSERT_TRUE(QuarantineRecordOf("evil (3).exe.aaq"));
  EXPECT_EQ(QuarantineRecordOf("evil (3).exe.aaq")->originalPath, other);
  ASSERT_TRUE(QuarantineRecordOf("evil (4).exe.aaq"));
  EXPECT_EQ(QuarantineRecordOf("evil (4).exe.aaq")->originalPath, second);
  EXPECT_EQ(QuarantineRecordOf("evil (4).exe.aaq")->threatName, "Demo");
  EXPECT_EQ(readFile(stored("evil (4).exe.aaq")), second);
  EXPECT_EQ(readFile(stored("EVIL.exe.aaq")), "stored by hand, in another case");
}

TEST_F(QuarantineBatchTest, ARecordsWriteThatFailsTakesItsCopiesBack) {
  ASSERT_TRUE(EnsureQuarantineFolder());
  std::filesystem::create_directory(recordsFile(QuarantineFolder()));  // no file can be written there
  QuarantineBatch batch;
  ASSERT_TRUE(store(batch, detected("a", "one.exe")));
  ASSERT_TRUE(store(batch, detected("a", "two.exe")));
  EXPECT_EQ(ListQuarantine().size(), 2u);
  EXPECT_FALSE(batch.record());
  EXPECT_TRUE(ListQuarantine().empty()) << "no copy is left without its record";
  EXPECT_EQ(batch.waiting(), 0u);
}

}  // namespace
}  // namespace halvik::quarantine
