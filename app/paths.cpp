// A folder takes pages only if it is a folder in which new files can be made.
#include "paths.h"

#include <cstdio>
#include <cstring>

#include "system.h"

const char *folder_problem(const char *dir) {
  const PathFacts facts = path_facts(dir);
  if (facts.error != 0) {
    return std::strerror(facts.error);
  }
  if (facts.kind != PathKind::DIRECTORY) {
    return "not a directory";
  }
  return facts.write_error != 0 ? std::strerror(facts.write_error) : nullptr;
}

const char *full_path(const char *path, char *out, size_t size) {
  if (!absolute_path(path, out, size)) {
    std::snprintf(out, size, "%s", path);
  }
  return out;
}
