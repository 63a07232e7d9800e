// A failed flush, an error flag left by an earlier write, or a failed close each mean lost output.
#include "streams.h"

#include <cerrno>
#include <cstring>

#include "report.h"

const char *flush_problem(FILE *file) {
  if (std::fflush(file) != 0 || std::ferror(file) != 0) {
    return std::strerror(errno != 0 ? errno : EIO);
  }
  return nullptr;
}

const char *finish_standard_output() {
  const char *lost = flush_problem(stdout);
  if (std::fclose(stdout) != 0 && lost == nullptr) {
    lost = std::strerror(errno);
  }
  return lost == nullptr ? nullptr : failure("Couldn't write to standard output: %s", lost);
}
