// The console on POSIX systems: closed standard descriptors are reopened on /dev/null. The
// terminal takes UTF-8 and the arguments as they are; a failure line on stderr is already where
// the user sees it, and the window needs no words beside it.
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "system.h"

char **start_console(int /*argc*/, char *argv[]) {
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
  return argv;
}

void show_user(Shown /*what*/, const char * /*text*/) {}
