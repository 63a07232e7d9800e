// Preloaded into the viewer by the window test: a request to end that arrives just before the wait
// goes to sleep, after its last look for one, as a user's Ctrl-C can. The first poll() of two
// descriptors without a time-out (the wait's) raises SIGTERM on the spot, then sleeps as asked.
#undef _FORTIFY_SOURCE // its poll() is an inline wrapper this file could not replace
#include <dlfcn.h>
#include <poll.h>

#include <csignal>
#include <cstddef>

namespace {

bool raised = false;

void raise_once(nfds_t count, int timeout) {
  if (count == 2 && timeout < 0 && !raised) {
    raised = true;
    std::raise(SIGTERM);
  }
}

} // namespace

// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name)
extern "C" int poll(pollfd *fds, nfds_t count, int timeout) {
  using Poll = int (*)(pollfd *, nfds_t, int);
  static const auto real = reinterpret_cast<Poll>(dlsym(RTLD_NEXT, "poll"));
  raise_once(count, timeout);
  return real(fds, count, timeout);
}

// The same call where the program was built with _FORTIFY_SOURCE.
// NOLINTNEXTLINE(readability-inconsistent-declaration-parameter-name,bugprone-reserved-identifier)
extern "C" int __poll_chk(pollfd *fds, nfds_t count, int timeout, std::size_t size) {
  using PollChk = int (*)(pollfd *, nfds_t, int, std::size_t);
  static const auto real = reinterpret_cast<PollChk>(dlsym(RTLD_NEXT, "__poll_chk"));
  raise_once(count, timeout);
  return real(fds, count, timeout, size);
}
