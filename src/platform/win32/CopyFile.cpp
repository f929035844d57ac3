// Whole-file copies that never leave a partial destination.
#include "platform/Platform.h"
#include "platform/win32/Handle.h"
#include "platform/win32/TempFile.h"

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
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
      m_status = Status::lastError();
      return;
    }
    const win32::Handle owned(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    m_user.resize(size);
    if (size == 0 || !GetTokenInformation(token, TokenUser, m_user.data(), size, &size)) {
      m_status = Status::lastError();
      return;
    }
    PSID sid = reinterpret_cast<TOKEN_USER*>(m_user.data())->User.Sid;
    m_acl.resize(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(sid));
    auto* acl = reinterpret_cast<ACL*>(m_acl.data());
    m_ready = InitializeAcl(acl, static_cast<DWORD>(m_acl.size()), ACL_REVISION) &&
              AddAccessAllowedAce(acl, ACL_REVISION, FILE_GENERIC_READ | FILE_GENERIC_WRITE | DELETE, sid) &&
              InitializeSecurityDescriptor(&m_descriptor, SECURITY_DESCRIPTOR_REVISION) &&
              SetSecurityDescriptorDacl(&m_descriptor, TRUE, acl, FALSE) &&
              SetSecurityDescriptorControl(&m_descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    if (!m_ready) m_status = Status::lastError();
    m_attributes = {sizeof(SECURITY_ATTRIBUTES), &m_descriptor, FALSE};
  }
  OwnerOnlySecurity(const OwnerOnlySecurity&) = delete;
  OwnerOnlySecurity& operator=(const OwnerOnlySecurity&) = delete;

  SECURITY_ATTRIBUTES* attributes() { return m_ready ? &m_attributes : nullptr; }
  // Why the descriptor could not be made, when attributes() is null.
  const Status& status() const { return m_status; }

 private:
  std::vector<unsigned char> m_user;
  std::vector<unsigned char> m_acl;
  SECURITY_DESCRIPTOR m_descriptor{};
  SECURITY_ATTRIBUTES m_attributes{};
  bool m_ready = false;
  Status m_status;
};

// Copies the rest of `from` into `to`.
Status copyBytes(HANDLE from, win32::TempFile& to) {
  std::vector<char> buffer(1 << 16);
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(from, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) return Status::lastError();
    if (got == 0) return {};
    if (Status written = to.write(buffer.data(), got); !written) return written;
  }
}

// Copies the open file `from`, from its first byte, to `destination`. The bytes are copied by
// hand rather than with CopyFileA, which would also carry the source's read-only, hidden and
// system attributes and could not create the copy with the owner-only rights from the start.
Status copyFrom(HANDLE from, const std::string& destination, CopyOptions options) {
  if (!SetFilePointerEx(from, LARGE_INTEGER{}, nullptr, FILE_BEGIN)) return Status::lastError();
  std::unique_ptr<OwnerOnlySecurity> security;
  if (options.ownerOnly) {
    security = std::make_unique<OwnerOnlySecurity>();
    if (!security->attributes()) return security->status();
  }
  const win32::WriteOptions write{.security = security ? security->attributes() : nullptr, .replace = options.replace};
  return win32::writeAtomically(destination, write, [from](win32::TempFile& to) { return copyBytes(from, to); });
}
}  // namespace

Status copyFile(const std::string& source, const std::string& destination, CopyOptions options) {
  const win32::Handle from(CreateFileA(source.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!from) return Status::lastError();
  return copyFrom(from.get(), destination, options);
}

Status flushFile(const std::string& path) {
  const win32::Handle file(CreateFileA(path.c_str(), GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file) return Status::lastError();
  return FlushFileBuffers(file.get()) ? Status() : Status::lastError();
}

Status copyOpenFile(const OpenFile& source, const std::string& destination, CopyOptions options) {
  if (!source.valid()) return Status::failure(ERROR_INVALID_HANDLE);
  return copyFrom(win32::handleOf(source.handle()), destination, options);
}

}  // namespace halvik::platform
