// Preloaded into the viewer by the window test: a request to end that arrives just before the wait
// goes to sleep, after its last look for one, as a user's Ctrl-C can. The first poll() of two
// descriptors without a time-out (the wait's) raises SIGTERM on the spot, then sleeps as asked.
// It writes to standard output when it raised the request and, should the wait wake for it, when
// poll() returned ("requested NS woke NS", CLOCK_MONOTONIC): a wait that never woke leaves the
// second time out, as the viewer is then ended by its grace timer while still asleep.
#undef _FORTIFY_SOURCE // its poll() is an inline wrapper this file could not replace
#include <dlfcn.h>
#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <cstddef>
#include <cstdio>
#include <ctime>

namespace {

bool raised = false;

long long now_ns() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000000000LL + t.tv_nsec;
}

void say(const char *what) {
  char line[64];
  const int n = std::snprintf(line, sizeof line, "%s %lld ", what, now_ns());
  if (write(STDOUT_FILENO, line, static_cast<size_t>(n)) < 0) {
    // The test then finds no time and says so.
  }
}

// True when this call is the one to interrupt: the request is raised before it sleeps.
bool raise_once(nfds_t count, int timeout) {
  if (count != 2 || timeout >= 0 || raised) {
    return false;
  }
  raised = true;
  say("requested");
  std::raise(SIGTERM);
  return true;
}

} // namespace

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
extern "C" int poll(pollfd *fds, nfds_t count, int timeout) {
  using Poll = int (*)(pollfd *, nfds_t, int);
  static const auto real = reinterpret_cast<Poll>(dlsym(RTLD_NEXT, "poll"));
  const bool interrupted = raise_once(count, timeout);
  const int ready = real(fds, count, timeout);
  if (interrupted) {
    say("woke");
  }
  return ready;
}

// The same call where the program was built with _FORTIFY_SOURCE.
// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name,bugprone-reserved-identifier)
extern "C" int __poll_chk(pollfd *fds, nfds_t count, int timeout, std::size_t size) {
  using PollChk = int (*)(pollfd *, nfds_t, int, std::size_t);
  static const auto real = reinterpret_cast<PollChk>(dlsym(RTLD_NEXT, "__poll_chk"));
  const bool interrupted = raise_once(count, timeout);
  const int ready = real(fds, count, timeout, size);
  if (interrupted) {
    say("woke");
  }
  return ready;
}
