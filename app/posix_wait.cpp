// Requests to end and the sleeping wait on POSIX systems with X11. The wait sleeps in poll() on the
// X connection and on a pipe the signal handler writes to, so it wakes only for input (SDL's own
// wait wakes a hundred times a second). SIGINT, SIGTERM and SIGHUP end the process at once outside
// the wait; in it they end the wait, and a timer set by the handler ends the process if closing
// the window then hangs on a stopped X server (Xlib blocks and retries through every signal).
#include <SDL.h>
#include <SDL_syswm.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "constants.h"
#include "posix_signals.h"
#include "report.h"
#include "system.h"

namespace {

constexpr int NS_PER_MS = 1000000;
constexpr int ERROR_TEXT_SIZE = 128; // bytes, for Xlib's description of an error

volatile std::sig_atomic_t caught_signal = 0;
volatile std::sig_atomic_t in_wait = 0;
int wake_pipe[2] = {-1, -1}; // written by the signal handler, read by the wait
timer_t closing_timer{};     // ends the process if closing takes too long
Display *display = nullptr;  // the X connection of the window, if it has one

// Only async-signal-safe calls from here to the end of on_closing_timeout.
void end_by(int signal_no) {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigaction(signal_no, &action, nullptr);
  sigset_t just_this;
  sigemptyset(&just_this);
  sigaddset(&just_this, signal_no);
  sigprocmask(SIG_UNBLOCK, &just_this, nullptr); // blocked while in its own handler
  raise(signal_no);
}

void on_ending_signal(int signal_no) {
  if (in_wait == 0 || caught_signal != 0) {
    end_by(signal_no);
    return;
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

void on_closing_timeout(int /*signal_no*/) { end_by(caught_signal); }

// Xlib's default handlers print several lines and exit; these say the same in one.
int on_x_error(Display *connection, XErrorEvent *error) {
  char text[ERROR_TEXT_SIZE] = "";
  XGetErrorText(connection, error->error_code, text, sizeof text);
  report_failure("Couldn't keep the window: the X server reported an error (%s)", text);
  _exit(EXIT_FAILURE_STATUS);
}

int on_x_connection_lost(Display * /*connection*/) {
  report_failure("Couldn't keep the window: the connection to the X server was lost");
  _exit(EXIT_FAILURE_STATUS);
}

// Classic SDL 1.2 never notices that another client destroyed its window. A request about the
// window does: the X error then ends the run (on_x_error), as it does at once under SDL 2.
void check_window_exists() {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWMInfo(&info) > 0) {
    ::Window root = 0;
    int x = 0;
    int y = 0;
    unsigned int width = 0;
    unsigned int height = 0;
    unsigned int border = 0;
    unsigned int depth = 0;
    XGetGeometry(display, info.info.x11.window, &root, &x, &y, &width, &height, &border, &depth);
  }
}

} // namespace

bool catch_ending_signals() {
  sigevent timeout{};
  timeout.sigev_notify = SIGEV_SIGNAL;
  timeout.sigev_signo = SIGALRM;
  if (pipe2(wake_pipe, O_NONBLOCK | O_CLOEXEC) != 0 ||
      timer_create(CLOCK_MONOTONIC, &timeout, &closing_timer) != 0) {
    report_failure("Couldn't prepare for signals: %s", std::strerror(errno));
    return false;
  }
  struct sigaction action {};
  sigemptyset(&action.sa_mask);
  action.sa_handler = on_closing_timeout;
  sigaction(SIGALRM, &action, nullptr);
  action.sa_handler = on_ending_signal;
  action.sa_flags = SA_RESTART;
  for (const int signal_no : ENDING_SIGNALS) {
    sigaction(signal_no, &action, nullptr);
  }
  return true;
}

int ending_signal() { return caught_signal; }

void die_of(int signal_no) { end_by(signal_no); }

void set_waiting(bool waiting) { in_wait = waiting ? 1 : 0; }

void report_display_failures() {
  XSetErrorHandler(on_x_error);
  XSetIOErrorHandler(on_x_connection_lost);
}

void watch_display() {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWMInfo(&info) > 0 && info.subsystem == SDL_SYSWM_X11 &&
      info.info.x11.display != nullptr) {
    display = info.info.x11.display;
    report_display_failures(); // again: SDL set its own handlers while opening the window
  }
}

bool sleep_until_input() {
  pollfd watched[2] = {{wake_pipe[0], POLLIN, 0}, {-1, POLLIN, 0}};
  int timeout_ms = FALLBACK_WAIT_MS; // without a connection, one step of SDL's own waiting loop
  if (display != nullptr) {
    XFlush(display);
    if (XEventsQueued(display, QueuedAlready) > 0) {
      return true; // already read from the connection by Xlib, not yet taken by SDL
    }
    watched[1].fd = ConnectionNumber(display);
    timeout_ms = -1;
  }
  if (poll(watched, 2, timeout_ms) < 0 && errno != EINTR) {
    report_failure("Couldn't wait for an event: %s", std::strerror(errno));
    return false;
  }
  if (display != nullptr && (watched[1].revents & POLLIN) != 0) {
    check_window_exists();
  }
  char drained[16];
  while (wake_pipe[0] >= 0 && read(wake_pipe[0], drained, sizeof drained) > 0) {
  }
  return true;
}
