#include "platform/win32/UserSid.h"

#include "platform/win32/Handle.h"

namespace halvik::platform::win32 {

PSID processUser(HANDLE process, std::vector<unsigned char>& storage) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return nullptr;
  const Handle owned(token);
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  storage.resize(size);
  if (size == 0 || !GetTokenInformation(token, TokenUser, storage.data(), size, &size)) return nullptr;
  return reinterpret_cast<TOKEN_USER*>(storage.data())->User.Sid;
}

}  // namespace halvik::platform::win32
