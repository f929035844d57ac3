#include "platform/Platform.h"

#include "platform/win32/Handle.h"

#include <windows.h>

namespace halvik::platform {
namespace {
// One argument quoted the way the C run-time splits a command line: backslashes are literal
// except before a quote, where they are doubled and the quote escaped.
std::string quoted(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) return argument;
  std::string text = "\"";
  std::size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    text.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    text += c;
  }
  text.append(backslashes * 2, '\\');
  return text + '"';
}

struct WindowSearch {
  DWORD processId;
  bool raised;
};

BOOL CALLBACK raiseIfOwned(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window) || GetWindow(window, GW_OWNER)) return TRUE;
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  search->raised = SetForegroundWindow(window) != 0 || search->raised;
  return TRUE;
}
}  // namespace

Status startProgram(const std::string& path, const std::vector<std::string>& arguments) {
  std::string commandLine = quoted(path);
  for (const std::string& argument : arguments) commandLine += ' ' + quoted(argument);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_PROCESS_GROUP, nullptr,
                      nullptr, &startup, &started))
    return Status::lastError();
  const win32::Handle process(started.hProcess);
  const win32::Handle thread(started.hThread);
  return {};
}

Status replaceProgram(const std::string& path, const std::vector<std::string>& arguments) {
  std::string commandLine;
  for (const std::string& argument : arguments) commandLine += (commandLine.empty() ? "" : " ") + quoted(argument);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  // The standard handles pass to the program, as exec would leave them.
  if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &started))
    return Status::lastError();
  const win32::Handle process(started.hProcess);
  const win32::Handle thread(started.hThread);
  DWORD status = 1;
  if (WaitForSingleObject(started.hProcess, INFINITE) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(started.hProcess, &status))
    status = 1;
  ExitProcess(status);
}

bool raiseWindowsOf(std::uint32_t processId) {
  WindowSearch search{processId, false};
  EnumWindows(raiseIfOwned, reinterpret_cast<LPARAM>(&search));
  return search.raised;
}

}  // namespace halvik::platform
