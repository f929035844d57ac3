// A small program that the process tests copy under other names and start: it runs the number
// of extra threads given as its first argument, then sleeps until it is killed. It ends with
// the process that started it, so that a test that crashes leaves no process behind.
#include <csignal>
#include <cstdlib>
#include <sys/prctl.h>
#include <thread>
#include <unistd.h>

int main(int argc, char* argv[]) {
  const pid_t parent = getppid();
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) return 1;
  const int threads = argc > 1 ? std::atoi(argv[1]) : 0;
  for (int i = 0; i < threads; ++i) std::thread([] { for (;;) pause(); }).detach();
  for (;;) pause();
}
