// Standard output in the manner of gnulib's close_stdout.
#include "streams.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "report.h"

bool finish_standard_output() {
  const bool written = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
  const int write_error = errno;
  if (std::fclose(stdout) != 0 || !written) {
    report_failure("Couldn't write to standard output: %s",
                   std::strerror(written ? errno : write_error));
    return false;
  }
  return true;
}
