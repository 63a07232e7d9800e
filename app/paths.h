// Whether a path is what the programs need, judged from the facts the system reports (system.h):
// every refusal is worded here, once, whatever the system.
#pragma once

#include "system.h"

const char *font_file_problem(const PathFacts &facts); // why it is no font file to read, or nullptr
const char *file_problem(const char *path);  // why path is no regular file to read, or nullptr
const char *folder_problem(const char *dir); // why pages cannot go into dir, or nullptr
// The path as messages show it: its full path, or as given where that cannot be had. Returns out.
const char *full_path(const char *path, char *out, size_t size);
