// The console on POSIX systems: closed standard descriptors are reopened on /dev/null, so that
// nothing opened later (the font, the X connection) takes their numbers and receives what was
// meant for them. The terminal takes UTF-8 and the arguments as they are; a failure line on stderr
// is already where the user sees it.
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "system.h"

void reopen_closed_standard_streams() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
      // The lowest free number is taken, and every lower one is open by now. Each is opened in
      // the direction it is not used in, so a write to a closed standard output still fails.
      const int reopened = open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
      if (reopened != fd && reopened >= 0) {
        close(reopened);
      }
    }
  }
}

void print_utf8_to_console() {}

char **utf8_arguments(int /*argc*/, char *argv[]) { return argv; }

void show_failure(const char * /*line*/) {}

void describe_label(const char * /*label*/) {} // the window is described by nothing but itself

void describe_page(int /*page*/) {}
