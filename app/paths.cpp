// The refusals of files and folders. A font is read only from a regular file with contents
// (reading a FIFO or a device could block for ever); pages go only into a folder that takes new
// files.
#include "paths.h"

#include <cstdio>
#include <cstring>

const char *font_file_problem(const PathFacts &facts) {
  if (facts.error != 0) {
    return std::strerror(facts.error);
  }
  if (facts.kind == PathKind::DIRECTORY) {
    return "is a directory, not a font file";
  }
  if (facts.kind != PathKind::REGULAR) {
    return "not a regular file";
  }
  return facts.size == 0 ? "the file is empty" : nullptr;
}

const char *file_problem(const char *path) {
  const PathFacts facts = path_facts(path);
  if (facts.error != 0) {
    return std::strerror(facts.error);
  }
  return facts.kind == PathKind::REGULAR ? nullptr : "not a regular file";
}

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
