// Temporary folders and files for the tests.
#pragma once

#include <string>

std::string read_file(const std::string &path);

// A fresh empty folder under the system's temporary folder, removed with everything in it when
// the test process ends.
std::string make_temp_dir();
void remove_tree(const std::string &path); // as `rm -rf`

// The names in `dir`, hidden ones included, sorted and separated by blanks.
std::string listing(const std::string &dir);
