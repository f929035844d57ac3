#include "platform/SystemText.h"

#include <windows.h>

namespace halvik::platform {

std::string systemText(const std::string& utf8) {
  if (utf8.empty()) return utf8;
  const int size = static_cast<int>(utf8.size());
  std::wstring wide(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), static_cast<int>(wide.size()));
  const int wideSize = static_cast<int>(wide.size());
  std::string text(static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, 0, wide.data(), wideSize, nullptr, 0, nullptr, nullptr)),
                   '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), wideSize, text.data(), static_cast<int>(text.size()), nullptr, nullptr);
  return text;
}

std::size_t rootLength(const std::string& path) {
  const bool letter = path.size() >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
  return letter && path[1] == ':' && (path[2] == '\\' || path[2] == '/') ? 3 : 0;
}

}  // namespace halvik::platform
