// A small program that the process tests copy under other names and start: it runs the number
// of extra threads given as its first argument, then sleeps until it is killed. It ends with
// the process that started it, so that a test that crashes leaves no process behind.
#include <cstdlib>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#include <tlhelp32.h>

namespace halvik::testing_support {

namespace {
// The process that started this one, opened for waiting on its end; null when it is gone.
HANDLE openParent() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return nullptr;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof(entry);
  DWORD parent = 0;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (entry.th32ProcessID == GetCurrentProcessId()) parent = entry.th32ParentProcessID;
  CloseHandle(snapshot);
  return parent ? OpenProcess(SYNCHRONIZE, FALSE, parent) : nullptr;
}
}  // namespace

int run(int argc, char* argv[]) {
  HANDLE parent = openParent();
  if (!parent) return 1;
  const int threads = argc > 1 ? std::atoi(argv[1]) : 0;
  for (int i = 0; i < threads; ++i)
    std::thread([] {
      for (;;) Sleep(INFINITE);
    }).detach();
  WaitForSingleObject(parent, INFINITE);
  return 0;
}

}  // namespace halvik::testing_support
#else
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace halvik::testing_support {

int run(int argc, char* argv[]) {
  const pid_t parent = getppid();
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) return 1;
  const int threads = argc > 1 ? std::atoi(argv[1]) : 0;
  for (int i = 0; i < threads; ++i)
    std::thread([] {
      for (;;) pause();
    }).detach();
  for (;;) pause();
}

}  // namespace halvik::testing_support
#endif

int main(int argc, char* argv[]) { return halvik::testing_support::run(argc, argv); }
