// Requests to end on POSIX systems: SIGINT, SIGTERM and SIGHUP (system.h says what each does). In
// the viewer's wait the handler writes to a pipe the wait sleeps on and sets a timer
// (timer_settime is async-signal-safe) that ends the process if closing the window then hangs on
// a stopped X server, where Xlib blocks and retries through every signal. The process ends as the
// signal's default action ends it, so a shell sees the death by that signal.
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

#include "constants.h"
#include "local.h"
#include "system.h"

namespace {

constexpr int ENDING_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP}; // interrupt, termination, hang-up
constexpr int NS_PER_MS = 1000000;
constexpr int SIGNAL_STATUS_BASE = 128; // a shell's status for death by signal n is 128 + n

volatile std::sig_atomic_t caught_signal = 0;
volatile std::sig_atomic_t in_wait = 0;
int wake_pipe[2] = {-1, -1}; // written by the handler, read by the wait
timer_t closing_timer{};     // ends the process if closing takes too long

void install_handler(int signal_no, void (*handler)(int)) {
  struct sigaction action = {};
  sigemptyset(&action.sa_mask);
  action.sa_handler = handler;
  action.sa_flags = SA_RESTART;
  sigaction(signal_no, &action, nullptr);
}

// Ends the process as `request`, the signal, would have ended it.
[[noreturn]] void end_as(int request) {
  install_handler(request, SIG_DFL);
  sigset_t just_this;
  sigemptyset(&just_this);
  sigaddset(&just_this, request);
  sigprocmask(SIG_UNBLOCK, &just_this, nullptr); // blocked while in its own handler
  raise(request);
  // cppcheck-suppress unreachableCode
  _exit(SIGNAL_STATUS_BASE + request); // not reached: the signal's default action ends it
}

// Only async-signal-safe calls in the handlers.
void on_ending_signal(int signal_no) {
  if (in_wait == 0 || caught_signal != 0) {
    end_as(signal_no);
  }
  caught_signal = signal_no;
  const int saved = errno;
  itimerspec grace{};
  grace.it_value.tv_nsec = static_cast<long>(CLOSING_GRACE_MS) * NS_PER_MS;
  timer_settime(closing_timer, 0, &grace, nullptr);
  const char byte = 0;
  if (write(wake_pipe[1], &byte, 1) < 0) {
    // The pipe is full: the wait has been woken already.
  }
  errno = saved;
}

void on_closing_timeout(int /*signal_no*/) { end_as(caught_signal); }

void on_ending_signal_while_saving(int signal_no) {
  remove_unfinished_file();
  end_as(signal_no);
}

} // namespace

const char *catch_ending_signals() {
  sigevent timeout{};
  timeout.sigev_notify = SIGEV_SIGNAL;
  timeout.sigev_signo = SIGALRM;
  if (pipe2(wake_pipe, O_NONBLOCK | O_CLOEXEC) != 0 ||
      timer_create(CLOCK_MONOTONIC, &timeout, &closing_timer) != 0) {
    return std::strerror(errno);
  }
  install_handler(SIGALRM, on_closing_timeout);
  for (const int signal_no : ENDING_SIGNALS) {
    install_handler(signal_no, on_ending_signal);
  }
  return nullptr;
}

void end_if_requested() {
  if (caught_signal != 0) {
    end_as(caught_signal);
  }
}

bool ending_requested() { return caught_signal != 0; }

void set_waiting(bool waiting) { in_wait = waiting ? 1 : 0; }

int ending_request_fd() { return wake_pipe[0]; }

void prepare_exporter() {
  for (const int signal_no : ENDING_SIGNALS) {
    install_handler(signal_no, on_ending_signal_while_saving);
  }
  std::signal(SIGXFSZ, SIG_IGN); // the write then fails with EFBIG
}

void hold_ending_signals(sigset_t *previous) {
  sigset_t ending;
  sigemptyset(&ending);
  for (const int signal_no : ENDING_SIGNALS) {
    sigaddset(&ending, signal_no);
  }
  sigprocmask(SIG_BLOCK, &ending, previous);
}

void release_ending_signals(const sigset_t *previous) {
  sigprocmask(SIG_SETMASK, previous, nullptr);
}
