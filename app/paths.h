// Paths as the programs need them: a folder that pages can go into, and any path as a message
// shows it. The facts come from the system (system.h); the refusals are worded here.
#pragma once

#include <cstddef>

const char *folder_problem(const char *dir); // why pages cannot go into dir, or nullptr
// The path as messages show it: its full path, or as given where that cannot be had. Returns out.
const char *full_path(const char *path, char *out, size_t size);
