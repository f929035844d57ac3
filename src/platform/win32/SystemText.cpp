#include "platform/SystemText.h"

#include "platform/Status.h"

#include <windows.h>

namespace halvik::platform {

const std::uint32_t kNoSuchProcess = ERROR_PROCESS_ABORTED;
const std::uint32_t kPermissionDenied = ERROR_ACCESS_DENIED;
const std::uint32_t kLockHeldElsewhere = ERROR_SHARING_VIOLATION;

std::string systemText(const std::string& utf8) {
  if (utf8.empty()) return utf8;
  const int size = static_cast<int>(utf8.size());
  std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), static_cast<int>(wide.size()));
  const int wideSize = static_cast<int>(wide.size());
  std::string text(static_cast<std::size_t>(
                       WideCharToMultiByte(CP_ACP, 0, wide.data(), wideSize, nullptr, 0, nullptr, nullptr)),
                   '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), wideSize, text.data(), static_cast<int>(text.size()), nullptr, nullptr);
  return text;
}

std::size_t rootLength(const std::string& path) {
  const bool letter = path.size() >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return letter && path[1] == ':' && (path[2] == '\\' || path[2] == '/') ? 3 : 0;
}

std::string errorText(std::uint32_t code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                          FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK,
                                      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result = length > 0 ? std::string(text, length) : "Error " + std::to_string(code);
  LocalFree(text);
  while (!result.empty() &&
         (result.back() == ' ' || result.back() == '.' || result.back() == '\r' || result.back() == '\n'))
    result.pop_back();
  return result;
}

std::uint32_t lastErrorCode() {
  const DWORD code = GetLastError();
  return code != ERROR_SUCCESS ? code : ERROR_GEN_FAILURE;
}

}  // namespace halvik::platform
