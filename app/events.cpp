// SDL stays the source of events: the wait pumps SDL, takes what it queued with SDL_WaitEvent, and
// when nothing is queued sleeps in poll() on the X connection and on a pipe that the signal
// handler writes to. So it wakes only for input, and at once for a key, a close request, an
// exposure or a signal (SDL's own wait would wake a hundred times a second).
#include "events.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "constants.h"
#include "display.h"

namespace {

constexpr int ERROR_TEXT_SIZE = 128; // bytes, for Xlib's description of an error

volatile std::sig_atomic_t caught_signal = 0;
int wake_pipe[2] = {-1, -1}; // written by the signal handler, read by the wait
Display *display = nullptr;  // the X connection of the window, if it has one

void on_ending_signal(int signal_no) {
  if (caught_signal == 0) {
    caught_signal = signal_no;
  }
  const int saved = errno;
  const char byte = 0;
  if (write(wake_pipe[1], &byte, 1) < 0) {
    // The pipe is full: the wait has been woken already.
  }
  errno = saved;
}

// Xlib's default handlers print several lines and exit; these say the same in one.
int on_x_error(Display *connection, XErrorEvent *error) {
  char text[ERROR_TEXT_SIZE] = "";
  XGetErrorText(connection, error->error_code, text, sizeof text);
  std::fprintf(stderr, "Couldn't keep the window: the X server reported an error (%s)\n", text);
  _exit(EXIT_FAILURE_STATUS);
}

int on_x_connection_lost(Display * /*connection*/) {
  std::fprintf(stderr, "Couldn't keep the window: the connection to the X server was lost\n");
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

// Sleeps until the X connection has input or a signal arrived; without a connection, for one
// step of SDL's own waiting loop.
bool sleep_until_input() {
  pollfd watched[2] = {{wake_pipe[0], POLLIN, 0}, {-1, POLLIN, 0}};
  int timeout_ms = FALLBACK_WAIT_MS;
  if (display != nullptr) {
    XFlush(display);
    if (XEventsQueued(display, QueuedAlready) > 0) {
      return true; // already read from the connection by Xlib, not yet taken by SDL
    }
    watched[1].fd = ConnectionNumber(display);
    timeout_ms = -1;
  }
  if (poll(watched, 2, timeout_ms) < 0 && errno != EINTR) {
    std::fprintf(stderr, "Couldn't wait for an event: %s\n", std::strerror(errno));
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

} // namespace

bool catch_ending_signals() {
  if (pipe2(wake_pipe, O_NONBLOCK | O_CLOEXEC) != 0) {
    std::fprintf(stderr, "Couldn't prepare for signals: %s\n", std::strerror(errno));
    return false;
  }
  struct sigaction action {};
  action.sa_handler = on_ending_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal_no : ENDING_SIGNALS) {
    sigaction(signal_no, &action, nullptr);
  }
  return true;
}

int ending_signal() { return caught_signal; }

void die_of(int signal_no) {
  std::signal(signal_no, SIG_DFL);
  sigset_t just_this;
  sigemptyset(&just_this);
  sigaddset(&just_this, signal_no);
  sigprocmask(SIG_UNBLOCK, &just_this, nullptr);
  raise(signal_no);
}

void watch_display() {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWMInfo(&info) > 0 && info.subsystem == SDL_SYSWM_X11 &&
      info.info.x11.display != nullptr) {
    display = info.info.x11.display;
    report_x_failures(); // again: SDL set its own handlers while opening the window
  }
}

void report_x_failures() {
  XSetErrorHandler(on_x_error);
  XSetIOErrorHandler(on_x_connection_lost);
}

bool wait_for_key() {
  SDL_Event event;
  while (caught_signal == 0) {
    SDL_PumpEvents();
    const int pending = SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_ALLEVENTS);
    if (pending == 0) {
      if (!sleep_until_input()) {
        return false;
      }
      continue;
    }
    if (pending < 0 || SDL_WaitEvent(&event) == 0) {
      std::fprintf(stderr, "Couldn't wait for an event: %s\n", SDL_GetError());
      return false;
    }
    if (event.type == SDL_KEYDOWN || event.type == SDL_QUIT) {
      return true;
    }
    if (event.type == SDL_VIDEOEXPOSE) {
      repaint_screen(); // another window covered ours: show the finished page again
    }
  }
  return false;
}
