// Files in a web page: the program's own file system in memory (emscripten's), which holds the
// font the page put there before the program started. The page saves no pictures (the exporter is
// not built for it), so it makes no folders and writes no files.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "constants.h"
#include "system.h"

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
