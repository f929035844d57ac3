#include "platform/TrustedFolder.h"

#include "platform/Status.h"
#include "platform/win32/UserSid.h"

#include <windows.h>
#include <aclapi.h>

#include <vector>

namespace halvik::platform {
namespace {
constexpr DWORD kWriteRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_DELETE_CHILD |
                               FILE_WRITE_ATTRIBUTES | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

bool refuse(std::string* reason, const std::string& text) {
  if (reason) *reason = text;
  return false;
}

bool isWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) {
  BYTE buffer[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof buffer;
  return CreateWellKnownSid(type, nullptr, buffer, &size) && EqualSid(sid, buffer);
}

// The user, SYSTEM and the Administrators: who may own and write a trusted folder.
bool isTrustee(PSID sid, PSID user) {
  return (user && EqualSid(sid, user)) || isWellKnown(sid, WinLocalSystemSid) ||
         isWellKnown(sid, WinBuiltinAdministratorsSid);
}

// True when no entry of `acl` that applies to the folder itself lets another than a trustee write.
bool writableOnlyByTrustees(PACL acl, PSID user) {
  for (DWORD index = 0; index < acl->AceCount; ++index) {
    void* entry = nullptr;
    if (!GetAce(acl, index, &entry)) return false;
    const auto* header = static_cast<ACE_HEADER*>(entry);
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE)) continue;
    const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
    PSID sid = const_cast<DWORD*>(&allowed->SidStart);
    if ((allowed->Mask & kWriteRights) && !isTrustee(sid, user)) return false;
  }
  return true;
}

// The entry `path` (a folder unless `maybeFile`, never a reparse point) belongs to a trustee and
// only trustees may write it.
bool isTrusted(const std::string& path, bool maybeFile, std::string* reason) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return refuse(reason, path + ": " + Status::lastError().text());
  if ((!(attributes & FILE_ATTRIBUTE_DIRECTORY) && !maybeFile) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    return refuse(reason, path + " is not a folder");
  PSID owner = nullptr;
  PACL acl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  const DWORD error =
      GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                            &owner, nullptr, &acl, nullptr, &descriptor);
  if (error != ERROR_SUCCESS) return refuse(reason, path + ": " + Status::failure(error).text());
  std::vector<unsigned char> storage;
  PSID user = win32::processUser(GetCurrentProcess(), storage);
  bool trusted = true;
  if (!owner || !isTrustee(owner, user))
    trusted = refuse(reason, path + " belongs to another user");
  else if (!acl || !writableOnlyByTrustees(acl, user))
    trusted = refuse(reason, path + " is writable by others");
  LocalFree(descriptor);
  return trusted;
}
}  // namespace

bool isTrustedFolder(const std::string& path, std::string* reason) { return isTrusted(path, false, reason); }

bool isTrustedPath(const std::string& path, std::string* reason) { return isTrusted(path, true, reason); }

}  // namespace halvik::platform
