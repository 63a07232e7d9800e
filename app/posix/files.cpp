// Files on POSIX systems (also in a web page, on emscripten's file system in memory): what a path
// is, reading a regular file without ever blocking on anything else, and the paths messages show.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "constants.h"
#include "system.h"

namespace {

PathFacts facts_of(const struct stat &info) {
  PathFacts facts;
  facts.kind = S_ISREG(info.st_mode)   ? PathKind::REGULAR
               : S_ISDIR(info.st_mode) ? PathKind::DIRECTORY
                                       : PathKind::OTHER;
  facts.size = info.st_size;
  return facts;
}

} // namespace

PathFacts path_facts(const char *path) {
  struct stat info = {};
  if (stat(path, &info) != 0) {
    PathFacts missing;
    missing.error = errno;
    return missing;
  }
  PathFacts facts = facts_of(info);
  if (facts.kind == PathKind::DIRECTORY && access(path, W_OK | X_OK) != 0) {
    facts.write_error = errno;
  }
  return facts;
}

FILE *open_regular_file(const char *path, PathFacts *facts) {
  *facts = PathFacts{};
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  struct stat info = {};
  if (fd < 0 || fstat(fd, &info) != 0) {
    facts->error = errno;
    if (fd >= 0) {
      close(fd);
    }
    return nullptr;
  }
  *facts = facts_of(info);
  if (facts->kind != PathKind::REGULAR) {
    close(fd);
    return nullptr;
  }
  // Opening did not block; reading may, as it does for any file.
  FILE *file = fcntl(fd, F_SETFL, 0) == 0 ? fdopen(fd, "rb") : nullptr;
  if (file == nullptr) {
    facts->error = errno;
    close(fd);
  }
  return file;
}

bool absolute_path(const char *path, char *out, size_t size) {
  char here[PATH_BYTES];
  if (path[0] == '/') {
    return std::snprintf(out, size, "%s", path) < static_cast<int>(size);
  }
  if (getcwd(here, sizeof here) == nullptr) {
    return false;
  }
  const bool at_root = std::strcmp(here, "/") == 0; // no "//name"
  return std::snprintf(out, size, "%s/%s", at_root ? "" : here, path) < static_cast<int>(size);
}

bool program_folder(char *out, size_t size) {
  const ssize_t n = readlink("/proc/self/exe", out, size - 1);
  if (n <= 0) {
    return false; // also in a web page: the program lies in no folder
  }
  out[n] = '\0';
  char *slash = std::strrchr(out, '/');
  if (slash == nullptr) {
    return false;
  }
  *slash = '\0';
  return true;
}
