// Whole-file copies that never leave a partial destination.
#include "platform/Platform.h"
#include "platform/win32/Handle.h"

#include <atomic>
#include <memory>
#include <vector>

namespace halvik::platform {
namespace {

// A security descriptor that grants the running user read, write and delete, and nobody
// anything else (no execute right, nothing inherited from the folder).
class OwnerOnlySecurity {
 public:
  OwnerOnlySecurity() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return;
    win32::Handle owned(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    m_user.resize(size);
    if (size == 0 || !GetTokenInformation(token, TokenUser, m_user.data(), size, &size)) return;
    PSID sid = reinterpret_cast<TOKEN_USER*>(m_user.data())->User.Sid;
    m_acl.resize(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(sid));
    auto* acl = reinterpret_cast<ACL*>(m_acl.data());
    m_ready = InitializeAcl(acl, static_cast<DWORD>(m_acl.size()), ACL_REVISION) &&
              AddAccessAllowedAce(acl, ACL_REVISION, FILE_GENERIC_READ | FILE_GENERIC_WRITE | DELETE, sid) &&
              InitializeSecurityDescriptor(&m_descriptor, SECURITY_DESCRIPTOR_REVISION) &&
              SetSecurityDescriptorDacl(&m_descriptor, TRUE, acl, FALSE) &&
              SetSecurityDescriptorControl(&m_descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    m_attributes = {sizeof(SECURITY_ATTRIBUTES), &m_descriptor, FALSE};
  }
  OwnerOnlySecurity(const OwnerOnlySecurity&) = delete;
  OwnerOnlySecurity& operator=(const OwnerOnlySecurity&) = delete;

  SECURITY_ATTRIBUTES* attributes() { return m_ready ? &m_attributes : nullptr; }

 private:
  std::vector<unsigned char> m_user;
  std::vector<unsigned char> m_acl;
  SECURITY_DESCRIPTOR m_descriptor{};
  SECURITY_ATTRIBUTES m_attributes{};
  bool m_ready = false;
};

// Creates a new file beside `destination` under a name no other file has, open for writing.
win32::Handle createTemporary(const std::string& destination, SECURITY_ATTRIBUTES* security, std::string& name) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = destination + ".~" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
    HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, security, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return win32::Handle(file);
    if (GetLastError() != ERROR_FILE_EXISTS) break;
  }
  return win32::Handle();
}

bool copyBytes(HANDLE from, HANDLE to) {
  std::vector<char> buffer(1 << 16);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(from, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) return false;
    if (got == 0) return true;
    DWORD written = 0;
    if (!WriteFile(to, buffer.data(), got, &written, nullptr) || written != got) return false;
  }
}

// Copies the open file `from`, from its first byte, to `destination`. The bytes are copied by
// hand rather than with CopyFileA, which would also carry the source's read-only, hidden and
// system attributes and could not create the copy with the owner-only rights from the start.
bool copyFrom(HANDLE from, const std::string& destination, CopyOptions options) {
  if (!SetFilePointerEx(from, LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return false;
  std::unique_ptr<OwnerOnlySecurity> security;
  if (options.ownerOnly) {
    security = std::make_unique<OwnerOnlySecurity>();
    if (!security->attributes()) return false;
  }
  std::string temporary;
  bool copied = false;
  {
    win32::Handle to = createTemporary(destination, security ? security->attributes() : nullptr, temporary);
    if (!to) return false;
    copied = copyBytes(from, to.get()) && FlushFileBuffers(to.get());
  }
  // Without MOVEFILE_REPLACE_EXISTING the rename fails when the destination exists, so a copy
  // that must not replace can never overwrite a file that appeared meanwhile.
  const DWORD flags = MOVEFILE_WRITE_THROUGH | (options.replace ? MOVEFILE_REPLACE_EXISTING : 0);
  if (copied && MoveFileExA(temporary.c_str(), destination.c_str(), flags)) return true;
  DeleteFileA(temporary.c_str());
  return false;
}
}  // namespace

bool copyFile(const std::string& source, const std::string& destination, CopyOptions options) {
  win32::Handle from(CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  return from && copyFrom(from.get(), destination, options);
}

bool copyOpenFile(const OpenFile& source, const std::string& destination, CopyOptions options) {
  return source.valid() && copyFrom(reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(source.handle())), destination, options);
}

}  // namespace halvik::platform
