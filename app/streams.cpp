// Standard descriptors, in the manner of gnulib's stdopen and close_stdout.
#include "streams.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

void guard_standard_streams() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
      // The lowest free number is taken, and every lower one is open by now.
      const int reopened = open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
      if (reopened != fd && reopened >= 0) {
        close(reopened);
      }
    }
  }
}

bool finish_standard_output() {
  const bool written = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
  const int write_error = errno;
  if (std::fclose(stdout) != 0 || !written) {
    std::fprintf(stderr, "Couldn't write to standard output: %s\n",
                 std::strerror(written ? errno : write_error));
    return false;
  }
  return true;
}
