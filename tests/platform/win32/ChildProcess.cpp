// A process for the process-control tests to list, suspend and terminate: it starts the number
// of extra threads given as its argument and waits. It ends by itself after two minutes, so a
// test that fails half-way never leaves it behind for long.
#include <windows.h>

#include <cstdlib>

namespace {
DWORD WINAPI waitForever(void*) {
  for (;;) Sleep(1000);
}
}  // namespace

int main(int argc, char** argv) {
  const int threads = argc > 1 ? std::atoi(argv[1]) : 0;
  for (int i = 0; i < threads; ++i) {
    if (HANDLE thread = CreateThread(nullptr, 0, waitForever, nullptr, 0, nullptr)) CloseHandle(thread);
  }
  Sleep(120000);
  return 3;
}
