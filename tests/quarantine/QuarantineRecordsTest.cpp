#include "quarantine/QuarantineRecords.h"

#include "core/Locations.h"
#include "quarantine/QuarantineStore.h"
#include "support/QuarantineFile.h"
#include "support/TestEnvironment.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#endif

namespace halvik::quarantine {

using quarantine::QuarantineRecord;
using testing_support::readFile;
using testing_support::TestEnvironment;
using testing_support::writeFile;

namespace {

class QuarantineRecordsTest : public ::testing::Test {
 protected:
  QuarantineRecordsTest() { EnsureQuarantineFolder(); }

  // A detected file `name` holding `content` in the folder "found" of the temporary root.
  std::string detected(const std::string& name, const std::string& content = "payload") {
    const std::string folder = m_environment.root() / "found";
    std::filesystem::create_directories(folder);
    writeFile(folder + platform::kSeparator + name, content);
    return folder + platform::kSeparator + name;
  }
  static std::string stored(const std::string& storedName) {
    return QuarantineFolder() + platform::kSeparator + storedName;
  }
  static std::string recordsFile() { return quarantine::recordsFile(QuarantineFolder()); }
  std::string outside(const std::string& name) const { return m_environment.root() / name; }
  static bool exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
  }
#ifndef _WIN32
  static unsigned modeOf(const std::string& path) { struct stat status { };
    return ::lstat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
  }
#endif

  TestEnvironment m_environment;
};

// Sets the umask for the life of the object.
#ifndef _WIN32
class ScopedUmask {
 public:
  explicit ScopedUmask(mode_t mask) : m_saved(::umask(mask)) {}
  ~ScopedUmask() { ::umask(m_saved); }

 private:
  mode_t m_saved;
};
#endif

}  // namespace

TEST_F(QuarantineRecordsTest, StoringKeepsWhereTheCopyCameFromAndTheListingNeverShowsTheRecords) {
  const std::string source = detected("evil.exe", "twelve bytes");
  const auto before = std::chrono::system_clock::now();
  ASSERT_TRUE(testing_support::quarantineFile(source, "Spy.Evil"));

  const auto record = QuarantineRecordOf("evil.exe.aaq");
  ASSERT_TRUE(record);
  EXPECT_EQ(record->originalPath, source);
  EXPECT_EQ(record->size, 12u);
  EXPECT_EQ(record->threatName, "Spy.Evil");
  const auto storedAt = std::chrono::system_clock::time_point(std::chrono::seconds(record->storedTime));
  EXPECT_LE(std::chrono::floor<std::chrono::seconds>(before), storedAt);
  EXPECT_LE(storedAt, std::chrono::system_clock::now());
#ifdef _WIN32
  EXPECT_FALSE(record->permissions) << "Windows keeps rights in access lists";
#else
  ASSERT_TRUE(record->permissions);
  EXPECT_EQ(record->permissions->owner, ::geteuid());
  EXPECT_EQ(record->permissions->group, ::getegid());
#endif

  EXPECT_TRUE(exists(recordsFile()));
  ASSERT_EQ(ListQuarantine().size(), 1u) << "the records file is not a stored copy";
  EXPECT_EQ(ListQuarantine().front().storedName, "evil.exe.aaq");
}

#ifndef _WIN32
TEST_F(QuarantineRecordsTest, RestoreGivesBackTheRecordedModeWhateverTheUmask) {
  const ScopedUmask noMask(0);
  for (const unsigned mode : {0600u, 0750u, 0644u}) {
    SCOPED_TRACE(mode);
    const std::string source = detected("tool", "content " + std::to_string(mode));
    ASSERT_EQ(::chmod(source.c_str(), mode), 0);
    ASSERT_TRUE(testing_support::quarantineFile(source, "Spy.Tool"));
    EXPECT_EQ(modeOf(stored("tool.aaq")), 0600u) << "the stored copy is owner-only";
    std::filesystem::remove(source);

    ASSERT_TRUE(RestoreFromQuarantine("tool.aaq", source));
    EXPECT_EQ(modeOf(source), mode);
    EXPECT_EQ(readFile(source), "content " + std::to_string(mode));
    EXPECT_FALSE(quarantine::readQuarantineRecord(QuarantineFolder(), "tool.aaq")) << "restoring removes the record";
    std::filesystem::remove(source);
  }
  // Set-ID and sticky bits are never recorded, so never restored.
  const std::string source = detected("setid", "x");
  ASSERT_EQ(::chmod(source.c_str(), 06755), 0);
  ASSERT_TRUE(testing_support::quarantineFile(source));
  ASSERT_TRUE(RestoreFromQuarantine("setid.aaq", outside("setid")));
  EXPECT_EQ(modeOf(outside("setid")), 0755u);
}

TEST_F(QuarantineRecordsTest, WithoutASoundRecordTheRestoredFileIsOwnerOnly) {
  const ScopedUmask noMask(0);
  // Dropped by hand, readable by all: it comes back narrower, never wider.
  writeFile(stored("dropped.exe.aaq"), "by hand");
  ASSERT_EQ(::chmod(stored("dropped.exe.aaq").c_str(), 0644), 0);
  EXPECT_FALSE(QuarantineRecordOf("dropped.exe.aaq"));
  ASSERT_TRUE(RestoreFromQuarantine("dropped.exe.aaq", outside("dropped.exe")));
  EXPECT_EQ(modeOf(outside("dropped.exe")), 0600u);
  EXPECT_EQ(readFile(outside("dropped.exe")), "by hand");

  // A record whose size is not the stored copy's is left from an earlier copy of that name.
  const std::string source = detected("stale.exe", "short");
  ASSERT_EQ(::chmod(source.c_str(), 0755), 0);
  ASSERT_TRUE(testing_support::quarantineFile(source));
  writeFile(stored("stale.exe.aaq"), "replaced by a longer file");
  EXPECT_FALSE(QuarantineRecordOf("stale.exe.aaq"));
  ASSERT_TRUE(RestoreFromQuarantine("stale.exe.aaq", outside("stale.exe")));
  EXPECT_EQ(modeOf(outside("stale.exe")), 0600u);
}

// Only a record the running user could have written is applied: a records file or a stored
// copy that another user owns gives no record, and the file comes back to the chosen path as
// the restorer's, readable and writable by its owner only.
TEST_F(QuarantineRecordsTest, AsRootTheRecordedOwnerAndGroupComeBack) {
  if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
  const QuarantineRecord record{"/somewhere/owned", platform::FilePermissions{0640, 1234, 5678}, 3, 0, ""};
  for (const char* foreign : {"records.ini", "owned.aaq", ""}) {
    SCOPED_TRACE(foreign);
    writeFile(stored("owned.aaq"), "abc");
    ASSERT_TRUE(quarantine::writeQuarantineRecord(QuarantineFolder(), "owned.aaq", record));
    if (*foreign) {
      ASSERT_EQ(::chown(stored(foreign).c_str(), 1234, 5678), 0);
    }
    ASSERT_TRUE(RestoreFromQuarantine("owned.aaq", outside("owned")));
    struct stat status {};
    ASSERT_EQ(::lstat(outside("owned").c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, *foreign ? 0u : 1234u);
    EXPECT_EQ(status.st_gid, *foreign ? 0u : 5678u);
    EXPECT_EQ(status.st_mode & 07777, *foreign ? 0600u : 0640u);
    ASSERT_EQ(::chown(recordsFile().c_str(), 0, 0), 0);
  }
}

TEST_F(QuarantineRecordsTest, TheRecordsFileIsTheOwnersAndOneOthersMayWriteIsNoRecord) {
  const ScopedUmask noMask(0);
  ASSERT_TRUE(testing_support::quarantineFile(detected("a.exe", "abc")));
  EXPECT_EQ(modeOf(recordsFile()), 0600u) << "created for the owner alone, whatever the umask";
  ASSERT_TRUE(QuarantineRecordOf("a.exe.aaq"));
  for (const std::string& opened : {recordsFile(), stored("a.exe.aaq"), QuarantineFolder()}) {
    SCOPED_TRACE(opened);
    const unsigned mode = modeOf(opened);
    ASSERT_EQ(::chmod(opened.c_str(), mode | 0020), 0);
    EXPECT_FALSE(QuarantineRecordOf("a.exe.aaq")) << "others may write it";
    ASSERT_EQ(::chmod(opened.c_str(), mode), 0);
  }
  ASSERT_EQ(::chmod(recordsFile().c_str(), 0666), 0);
  ASSERT_TRUE(RestoreFromQuarantine("a.exe.aaq", outside("a.exe")));
  EXPECT_EQ(modeOf(outside("a.exe")), 0600u);
}

TEST_F(QuarantineRecordsTest, ARecordsFileThatIsALinkIsNeitherReadNorWritten) {
  writeFile(stored("a.exe.aaq"), "abc");
  const std::string elsewhere = outside("elsewhere.ini");
  writeFile(elsewhere, "[Records]\r\na.exe.aaq=path=/etc/a.exe mode=0777 owner=0 group=0 size=3\r\n");
  std::filesystem::create_symlink(elsewhere, recordsFile());

  EXPECT_FALSE(QuarantineRecordOf("a.exe.aaq"));
  const std::string source = detected("b.exe");
  EXPECT_FALSE(testing_support::quarantineFile(source)) << "no copy is kept without its record";
  EXPECT_FALSE(std::filesystem::exists(stored("b.exe.aaq")));
  EXPECT_TRUE(std::filesystem::exists(source));
  EXPECT_FALSE(quarantine::removeQuarantineRecord(QuarantineFolder(), "a.exe.aaq"));
  EXPECT_TRUE(std::filesystem::is_symlink(recordsFile()));
  EXPECT_EQ(readFile(elsewhere), "[Records]\r\na.exe.aaq=path=/etc/a.exe mode=0777 owner=0 group=0 size=3\r\n");

  const ScopedUmask noMask(0);
  ASSERT_TRUE(RestoreFromQuarantine("a.exe.aaq", outside("a.exe")));
  EXPECT_EQ(modeOf(outside("a.exe")), 0600u);
}

TEST_F(QuarantineRecordsTest, AnUnreadableRecordsFileGivesNoRecord) {
  ASSERT_TRUE(testing_support::quarantineFile(detected("a.exe", "abc")));
  ASSERT_EQ(::chmod(recordsFile().c_str(), 0), 0);
  testing_support::withoutRootOverrides([&] {
    EXPECT_FALSE(QuarantineRecordOf("a.exe.aaq"));
    EXPECT_TRUE(DeleteFromQuarantine("a.exe.aaq")) << "a record that cannot be removed does not block the deletion";
  });
}

TEST_F(QuarantineRecordsTest, StoredNamesThatDifferInCaseKeepRecordsOfTheirOwn) {
  writeFile(stored("A.aaq"), "1");
  writeFile(stored("a.aaq"), "22");
  ASSERT_TRUE(quarantine::writeQuarantineRecord(QuarantineFolder(), "A.aaq", {"/x/A", std::nullopt, 1, 0, "upper"}));
  ASSERT_TRUE(quarantine::writeQuarantineRecord(QuarantineFolder(), "a.aaq", {"/x/a", std::nullopt, 2, 0, "lower"}));
  EXPECT_EQ(QuarantineRecordOf("A.aaq")->threatName, "upper");
  EXPECT_EQ(QuarantineRecordOf("a.aaq")->threatName, "lower");
}
#endif

TEST_F(QuarantineRecordsTest, DeletingOrRestoringACopyRemovesOnlyItsRecord) {
  ASSERT_TRUE(testing_support::quarantineFile(detected("a.exe", "a")));
  ASSERT_TRUE(testing_support::quarantineFile(detected("b.exe", "b")));
  ASSERT_TRUE(testing_support::quarantineFile(detected("c.exe", "c")));

  ASSERT_TRUE(DeleteFromQuarantine("a.exe.aaq"));
  ASSERT_TRUE(RestoreFromQuarantine("b.exe.aaq", outside("b.exe")));
  EXPECT_FALSE(quarantine::readQuarantineRecord(QuarantineFolder(), "a.exe.aaq"));
  EXPECT_FALSE(quarantine::readQuarantineRecord(QuarantineFolder(), "b.exe.aaq"));
  EXPECT_TRUE(QuarantineRecordOf("c.exe.aaq"));

  // A copy stored again under a freed name gets a record of its own.
  ASSERT_TRUE(testing_support::quarantineFile(detected("a.exe", "again"), "Spy.Again"));
  EXPECT_EQ(QuarantineRecordOf("a.exe.aaq")->threatName, "Spy.Again");
}

TEST_F(QuarantineRecordsTest, AnyBytesSurviveARecord) {
  const std::string path = "/odd \xff\xfe folder/ x=%41;[y]\r\n\t\"q\" \x01 end ";
  const std::string storedName = std::string(" [Odd]=;%20 \xe9\x7f.aaq ");
  const QuarantineRecord record{path, std::nullopt, 18446744073709551615ull, -5, "thr eat=%"};
  ASSERT_TRUE(quarantine::writeQuarantineRecord(QuarantineFolder(), storedName, record));

  const auto read = quarantine::readQuarantineRecord(QuarantineFolder(), storedName);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->originalPath, path);
  EXPECT_EQ(read->size, 18446744073709551615ull);
  EXPECT_EQ(read->storedTime, 0) << "a time before 1970 is not one this program writes";
  EXPECT_EQ(read->threatName, "thr eat=%");
  EXPECT_FALSE(read->permissions);
}

TEST_F(QuarantineRecordsTest, AHandEditedRecordsFileIsInputNeverTrusted) {
  for (const char* name : {"nopath", "nosize", "hugesize", "badescape", "zerobyte", "garbage", "setid", "hugemode",
                           "negowner", "noowner", "noone", "octal9", "spaces"})
    writeFile(stored(std::string(name) + ".aaq"), "abc");
  writeFile(recordsFile(), std::string("[Records]\r\n"
                                       "nopath.aaq=mode=0644 owner=1 group=1 size=3\r\n"
                                       "nosize.aaq=path=/x\r\n"
                                       "hugesize.aaq=path=/x size=99999999999999999999999\r\n"
                                       "badescape.aaq=path=/x%zz size=3\r\n"
                                       "zerobyte.aaq=path=/x%00y size=3\r\n"
                                       "garbage.aaq=\xff\xfe\x01 = == size size= path\r\n"
                                       "setid.aaq=path=/x mode=04755 owner=1 group=1 size=3\r\n"
                                       "hugemode.aaq=path=/x mode=077777777777777777777 owner=1 group=1 size=3\r\n"
                                       "negowner.aaq=path=/x mode=0644 owner=-1 group=1 size=3\r\n"
                                       "noowner.aaq=path=/x mode=0644 owner=4294967295 group=1 size=3\r\n"
                                       "noone.aaq=path=/x mode=0644 group=1 size=3\r\n"
                                       "octal9.aaq=path=/x mode=0649 owner=1 group=1 size=3\r\n"
                                       "spaces.aaq=  path=/x  mode=+0644 owner=1 group=1 size=3 stored=1e9  \r\n") +
                               std::string(4096, '\0') + "\r\n[Records\r\n=\r\n");

  for (const char* name : {"nopath", "nosize", "hugesize", "badescape", "zerobyte", "garbage"})
    EXPECT_FALSE(QuarantineRecordOf(std::string(name) + ".aaq")) << name;
  for (const char* name : {"setid", "hugemode", "negowner", "noowner", "noone", "octal9", "spaces"}) {
    const auto record = QuarantineRecordOf(std::string(name) + ".aaq");
    ASSERT_TRUE(record) << name;
    EXPECT_EQ(record->originalPath, "/x");
    EXPECT_FALSE(record->permissions) << name << ": no sound mode, owner and group, so an owner-only restore";
  }
  EXPECT_EQ(ListQuarantine().size(), 13u);

  // Restoring and deleting work through the damaged file, and storing still adds a record.
  ASSERT_TRUE(RestoreFromQuarantine("setid.aaq", outside("setid")));
#ifndef _WIN32
  EXPECT_EQ(modeOf(outside("setid")), 0600u);
#endif
  EXPECT_TRUE(DeleteFromQuarantine("garbage.aaq"));
  ASSERT_TRUE(testing_support::quarantineFile(detected("fresh.exe", "abc"), "Spy.Fresh"));
  EXPECT_EQ(QuarantineRecordOf("fresh.exe.aaq")->threatName, "Spy.Fresh");
}

}  // namespace halvik::quarantine
