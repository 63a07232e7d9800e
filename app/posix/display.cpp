// The display connection and the sleeping wait on POSIX systems with X11. Failures of the display
// reach stderr as the viewer's one line (display_failed), never as the display libraries' own.
// The wait sleeps in poll() on the X connection and on the pipe an ending signal writes to, so it
// wakes only for input, where SDL's own wait would wake a hundred times a second.
#include <SDL.h>
#include <SDL_syswm.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <unistd.h>

#include "constants.h"
#include "local.h"
#include "system.h"

namespace {

constexpr int ERROR_TEXT_SIZE = 128; // bytes, for Xlib's description of an error
constexpr const char *NO_WAYLAND_DISPLAY = "/dev/null/no-wayland-display"; // never a socket
constexpr const char *SILENT_CACA_DRIVER = "null"; // libcaca's display that shows nothing

Display *display = nullptr; // the X connection of the window, if it has one

// Xlib's default handlers print several lines and exit; these have the viewer say it in one.
int on_x_error(Display *connection, XErrorEvent *error) {
  char text[ERROR_TEXT_SIZE] = "";
  XGetErrorText(connection, error->error_code, text, sizeof text);
  display_failed(text);
}

int on_x_connection_lost(Display * /*connection*/) { display_failed(nullptr); }

// X errors and a lost connection reported in one line (instead of Xlib's dump or a silent death by
// SIGPIPE): before SDL_Init, and again once the window is up, as SDL sets its own meanwhile.
void install_display_error_handlers() {
  // A write to a connection the server has closed raises SIGPIPE, whose default action would end
  // the viewer without a word; ignored, the write fails and Xlib calls on_x_connection_lost.
  std::signal(SIGPIPE, SIG_IGN);
  XSetErrorHandler(on_x_error);
  XSetIOErrorHandler(on_x_connection_lost);
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

bool is_unset(const char *name) {
  const char *value = std::getenv(name);
  return value == nullptr || value[0] == '\0';
}

void drain_wake_pipe() {
  char drained[16];
  while (read(ending_request_fd(), drained, sizeof drained) > 0) {
  }
}

} // namespace

// Without XDG_RUNTIME_DIR a Wayland display can be named only by an absolute path: libwayland
// (SDL 2) complains of the variable, but tries such a path silently. Classic SDL 1.2 falls back
// to text art through libcaca, whose terminal drivers draw on the terminal or, with no TERM, end
// the process with ncurses' "Error opening terminal"; its "null" driver does neither, and the
// viewer refuses the fallback anyway, unless SDL_VIDEODRIVER asked for it.
const char *prepare_viewer() {
  if (const char *why = catch_ending_signals()) {
    return why;
  }
  // The window is a software surface: SDL 2 under sdl12-compat would otherwise load the whole
  // OpenGL stack (about 90 MB and 0.2 s) to show it, with the same pixels. The user's own setting
  // of either hint wins; classic SDL 1.2 ignores both.
  setenv("SDL_RENDER_DRIVER", "software", 0);
  setenv("SDL_FRAMEBUFFER_ACCELERATION", "software", 0);
  const char *runtime = std::getenv("XDG_RUNTIME_DIR");
  const char *named = std::getenv("WAYLAND_DISPLAY");
  if ((runtime == nullptr || runtime[0] != '/') && (named == nullptr || named[0] != '/')) {
    setenv("WAYLAND_DISPLAY", NO_WAYLAND_DISPLAY, 1);
  }
  if (is_unset("SDL_VIDEODRIVER") && is_unset("CACA_DRIVER")) {
    setenv("CACA_DRIVER", SILENT_CACA_DRIVER, 1);
  }
  install_display_error_handlers();
  return nullptr;
}

void watch_display() {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWMInfo(&info) > 0 && info.subsystem == SDL_SYSWM_X11 &&
      info.info.x11.display != nullptr) {
    display = info.info.x11.display;
    install_display_error_handlers();
  }
}

const char *sleep_until_input() {
  pollfd watched[2] = {{ending_request_fd(), POLLIN, 0}, {-1, POLLIN, 0}};
  int timeout_ms = FALLBACK_WAIT_MS; // without a connection, one step of SDL's own waiting loop
  if (display != nullptr) {
    XFlush(display);
    if (XEventsQueued(display, QueuedAlready) > 0) {
      return nullptr; // already read from the connection by Xlib, not yet taken by SDL
    }
    watched[1].fd = ConnectionNumber(display);
    timeout_ms = -1;
  }
  if (poll(watched, 2, timeout_ms) < 0 && errno != EINTR) {
    return std::strerror(errno);
  }
  if (display != nullptr && (watched[1].revents & POLLIN) != 0) {
    check_window_exists();
  }
  drain_wake_pipe();
  return nullptr;
}
