#include "platform/FolderCheck.h"
#include "platform/MachineFolder.h"
#include "platform/TrustedFolder.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

namespace halvik::platform {
namespace {

// A folder made with the access list `sddl`.
bool createWithAccess(const std::string& path, const char* sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr)) return false;
  SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), descriptor, FALSE};
  const bool made = CreateDirectoryA(path.c_str(), &security);
  LocalFree(descriptor);
  return made;
}

TEST(MachineFolderTest, MadeForTheAdministratorsAndRefusedWhenOthersMayWrite) {
  const testing_support::TempFolder root;
  const std::string folder = root / "Orvento Halvik\\Signatures";
  ASSERT_TRUE(createMachineFolder(folder).ok());
  EXPECT_TRUE(isTrustedFolder(folder));
  EXPECT_TRUE(createMachineFolder(folder).ok()) << "an existing sound folder is kept";

  ASSERT_TRUE(createWithAccess(root / "Open", "D:P(A;OICI;FA;;;WD)"));  // everyone may write
  // Wine keeps no access list of its own: it derives one from the file's mode, owner only.
  if (isTrustedFolder(root / "Open")) GTEST_SKIP() << "this system did not keep the folder's access list";
  EXPECT_FALSE(createMachineFolder(root / "Open\\Signatures").ok());
  EXPECT_FALSE(isFolder(root / "Open\\Signatures")) << "nothing is made below a folder others may write";
}

}  // namespace
}  // namespace halvik::platform
