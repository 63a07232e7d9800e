// Temporary folders and files for the tests: every folder a test makes lies in one folder of its
// process, under TMPDIR, removed when the process ends, also after a failed test.
#include "scratch.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <ftw.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int FTW_DESCRIPTORS = 16; // folders nftw keeps open at once

void remove_temp_root();

const std::string &temp_root() {
  static const std::string *root = [] {
    const char *base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/triangles-test-XXXXXX";
    const char *made = mkdtemp(pattern.data());
    std::atexit(remove_temp_root);
    return new std::string(made != nullptr ? made : ""); // outlives every exit handler
  }();
  return *root;
}

void remove_temp_root() { remove_tree(temp_root()); }

} // namespace

std::string make_temp_dir() {
  std::string pattern = temp_root() + "/XXXXXX";
  char *made = temp_root().empty() ? nullptr : mkdtemp(pattern.data());
  return made != nullptr ? std::string(made) : std::string();
}

void remove_tree(const std::string &path) {
  if (!path.empty()) {
    nftw(
        path.c_str(),
        [](const char *name, const struct stat *, int, FTW *) { return remove(name); },
        FTW_DESCRIPTORS, FTW_DEPTH | FTW_PHYS);
  }
}

std::string read_file(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string listing(const std::string &dir) {
  std::vector<std::string> names;
  if (DIR *folder = opendir(dir.c_str())) {
    while (const dirent *entry = readdir(folder)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") {
        names.push_back(name);
      }
    }
    closedir(folder);
  }
  std::sort(names.begin(), names.end());
  std::string joined;
  for (const std::string &name : names) {
    joined += (joined.empty() ? "" : " ") + name;
  }
  return joined;
}
