#include "platform/PathTrust.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <memory>
#include <vector>

namespace halvik::platform {
namespace {

// Rights that change a folder's content or a file's bytes, or who may do so.
constexpr ACCESS_MASK kWriteRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_DELETE_CHILD | DELETE | WRITE_DAC |
                                     WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

// The running user's SID, in a buffer of its own.
std::vector<BYTE> userSid() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<BYTE> buffer(size);
  const bool read = size && GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
  CloseHandle(token);
  if (!read) return {};
  const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
  std::vector<BYTE> copy(GetLengthSid(sid));
  CopySid(static_cast<DWORD>(copy.size()), copy.data(), sid);
  return copy;
}

bool isTrustedInstaller(PSID sid) {
  PSID installer = nullptr;
  if (!ConvertStringSidToSidA("S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464", &installer))
    return false;
  const bool same = EqualSid(sid, installer);
  LocalFree(installer);
  return same;
}

bool trustedSid(PSID sid, const std::vector<BYTE>& user) {
  return IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || IsWellKnownSid(sid, WinLocalSystemSid) ||
         isTrustedInstaller(sid) || (!user.empty() && EqualSid(sid, const_cast<BYTE*>(user.data())));
}

// True when no entry of `dacl` that applies to the object itself lets anyone but a trusted SID write.
bool onlyTrustedWrite(PACL dacl, const std::vector<BYTE>& user) {
  if (!dacl) return false;  // no access list: everyone may do everything
  for (DWORD index = 0; index < dacl->AceCount; ++index) {
    void* entry = nullptr;
    if (!GetAce(dacl, index, &entry)) return false;
    const auto* header = static_cast<ACE_HEADER*>(entry);
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE)) continue;
    const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
    if ((allowed->Mask & kWriteRights) && !trustedSid(const_cast<DWORD*>(&allowed->SidStart), user)) return false;
  }
  return true;
}

}  // namespace

bool pathTrusted(const std::string& path) {
  PSID owner = nullptr;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                            &owner, nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
    return false;
  const std::unique_ptr<void, decltype(&LocalFree)> held(descriptor, LocalFree);
  const std::vector<BYTE> user = userSid();
  return owner && trustedSid(owner, user) && onlyTrustedWrite(dacl, user);
}

}  // namespace halvik::platform
