// Files in a web page: the program's own file system in memory (emscripten's), which holds the
// font the page put there before the program started. Nothing in it outlives the page, and no
// other program writes to it, so a page file is written under a hidden name and renamed when
// complete.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "constants.h"
#include "system.h"

namespace {

constexpr mode_t NEW_FOLDER_MODE = 0777;

const char *closed_whole(FILE *file, const char *why) {
  if (std::fclose(file) != 0 && why == nullptr) {
    return std::strerror(errno);
  }
  return why;
}

} // namespace

PathFacts path_facts(const char *path) {
  PathFacts facts;
  struct stat info {};
  if (stat(path, &info) != 0) {
    facts.error = errno;
    return facts;
  }
  facts.kind = S_ISREG(info.st_mode)   ? PathKind::REGULAR
               : S_ISDIR(info.st_mode) ? PathKind::DIRECTORY
                                       : PathKind::OTHER;
  facts.size = info.st_size;
  if (facts.kind == PathKind::DIRECTORY && access(path, W_OK | X_OK) != 0) {
    facts.write_error = errno;
  }
  return facts;
}

FILE *open_regular_file(const char *path, PathFacts *facts) {
  *facts = path_facts(path);
  if (facts->error != 0 || facts->kind != PathKind::REGULAR) {
    return nullptr;
  }
  FILE *file = std::fopen(path, "rb");
  if (file == nullptr) {
    facts->error = errno;
  }
  return file;
}

int make_folders(const char *dir) {
  char path[PATH_BYTES];
  if (std::snprintf(path, sizeof path, "%s", dir) >= PATH_BYTES) {
    return ENAMETOOLONG;
  }
  for (char *end = path + 1;; ++end) { // each parent, then the folder itself
    if (*end != '/' && *end != '\0') {
      continue;
    }
    const char separator = *end;
    *end = '\0';
    if (mkdir(path, NEW_FOLDER_MODE) != 0 && errno != EEXIST) {
      return errno;
    }
    if (separator == '\0') {
      return 0;
    }
    *end = separator;
  }
}

bool absolute_path(const char *path, char *out, size_t size) {
  char here[PATH_BYTES];
  if (path[0] == '/') {
    return std::snprintf(out, size, "%s", path) < static_cast<int>(size);
  }
  if (getcwd(here, sizeof here) == nullptr) {
    return false;
  }
  const bool at_root = std::strcmp(here, "/") == 0;
  return std::snprintf(out, size, "%s/%s", at_root ? "" : here, path) < static_cast<int>(size);
}

bool program_folder(char * /*out*/, size_t /*size*/) { return false; } // it lies in no folder

const char *write_file_whole(const char *dir, const char *name, FileFiller fill) {
  char target[PATH_BYTES];
  char hidden[PATH_BYTES];
  if (std::snprintf(target, sizeof target, "%s/%s", dir, name) >= PATH_BYTES ||
      std::snprintf(hidden, sizeof hidden, "%s/.%s.part", dir, name) >= PATH_BYTES) {
    return std::strerror(ENAMETOOLONG);
  }
  FILE *file = std::fopen(hidden, "wb");
  if (file == nullptr) {
    return std::strerror(errno);
  }
  errno = 0;
  const char *why = closed_whole(file, fill(file));
  if (why == nullptr && std::rename(hidden, target) != 0) {
    why = std::strerror(errno);
  }
  if (why != nullptr) {
    std::remove(hidden);
  }
  return why;
}
