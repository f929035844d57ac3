#include "platform/MachineFolder.h"

#include "platform/TrustedFolder.h"

#include <windows.h>

#include <sddl.h>

#include <memory>

namespace halvik::platform {
namespace {
// Protected from inheritance: full control for the Administrators and SYSTEM, read and execute
// for users, passed down to every file and folder inside.
constexpr const char* kMachineFolderAccess = "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)";

Status createProtectedFolder(const std::string& path) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(kMachineFolderAccess, SDDL_REVISION_1, &descriptor,
                                                            nullptr))
    return Status::lastError();
  const std::unique_ptr<void, decltype(&LocalFree)> held(descriptor, LocalFree);
  SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), descriptor, FALSE};
  if (CreateDirectoryA(path.c_str(), &security) || GetLastError() == ERROR_ALREADY_EXISTS) return {};
  return Status::lastError();
}
}  // namespace

bool elevated() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  TOKEN_ELEVATION elevation{};
  DWORD size = sizeof elevation;
  const bool read = GetTokenInformation(token, TokenElevation, &elevation, size, &size);
  CloseHandle(token);
  return read && elevation.TokenIsElevated;
}

Status createMachineFolder(const std::string& path) {
  // The program's folder under ProgramData, then its "Signatures"; ProgramData itself exists.
  const std::size_t last = path.find_last_of('\\');
  if (last == std::string::npos) return Status::failure(ERROR_BAD_PATHNAME);
  for (const std::string& level : {path.substr(0, last), path}) {
    if (Status created = createProtectedFolder(level); !created) return created;
    if (!isTrustedFolder(level)) return Status::failure(ERROR_ACCESS_DENIED);
  }
  return {};
}

}  // namespace halvik::platform
