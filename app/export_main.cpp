// triangles-export [--format bmp|png] DIR: draws the viewer's four pages with the viewer's own
// drawing code into an in-memory 800x600 surface, with no window and no waiting, and saves them as
// DIR/page-1.bmp to DIR/page-4.bmp (or .png). The paths are printed only once all four are
// written.
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <sys/stat.h>
#include <unistd.h>

#include "constants.h"
#include "display.h"
#include "pages.h"
#include "save.h"
#include "streams.h"

namespace {

constexpr int PAGE_COUNT = 4;
constexpr int PAGE_NAME_SIZE = 32; // bytes, for "page-N.bmp"
constexpr const char *USAGE = "Usage: triangles-export [--format bmp|png] DIR\n"
                              "Saves the four pages of triangles as DIR/page-1.bmp ... "
                              "DIR/page-4.bmp, or as PNG files.\n";

// The picture formats by name, each with its file name extension.
struct FormatName {
  const char *name;
  PageFormat format;
};
constexpr FormatName FORMATS[] = {{"bmp", PageFormat::BMP}, {"png", PageFormat::PNG}};

const char *out_dir = nullptr;
const FormatName *out_format = &FORMATS[0];
char written[PAGE_COUNT][PATH_MAX];

bool is_regular_file(const char *path) {
  struct stat info {};
  return stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

// The font as a user expects to find it: times.ttf in the working folder, else the one beside
// the program (a build folder), else the one installed with it.
const char *find_font() {
  if (is_regular_file(FONT_FILE)) {
    return FONT_FILE;
  }
  char exe[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n > 0) {
    exe[n] = '\0';
    char *slash = std::strrchr(exe, '/');
    if (slash != nullptr) {
      *slash = '\0';
      static char path[PATH_MAX];
      for (const char *sub : {"", "/" INSTALLED_DATA_FROM_BIN}) {
        if (std::snprintf(path, sizeof path, "%s%s/%s", exe, sub, FONT_FILE) <
                static_cast<int>(sizeof path) &&
            is_regular_file(path)) {
          return path;
        }
      }
    }
  }
  return FONT_FILE; // not found anywhere: the error will name it
}

bool usable_folder(const char *dir) {
  struct stat info {};
  const bool exists = stat(dir, &info) == 0;
  const char *reason = nullptr;
  if (exists && !S_ISDIR(info.st_mode)) {
    reason = "not a directory";
  } else if (!exists || access(dir, W_OK | X_OK) != 0) {
    reason = std::strerror(errno);
  }
  if (reason != nullptr) {
    std::fprintf(stderr, "Couldn't write pages into %s: %s\n", dir, reason);
    return false;
  }
  return true;
}

bool save_numbered(int page) {
  if (page > PAGE_COUNT) {
    std::fprintf(stderr, "Couldn't write page %d: only %d pages were expected\n", page, PAGE_COUNT);
    return false;
  }
  char name[PAGE_NAME_SIZE];
  std::snprintf(name, sizeof name, "page-%d.%s", page, out_format->name);
  std::snprintf(written[page - 1], PATH_MAX, "%s/%s", out_dir, name);
  return save_page(out_dir, name, out_format->format);
}

// Reads [--format bmp|png] DIR into out_format and out_dir; false if they are not that.
bool read_arguments(int argc, char *argv[]) {
  int next = 1;
  if (argc > next && std::strcmp(argv[next], "--format") == 0) {
    out_format = nullptr;
    for (const FormatName &f : FORMATS) {
      if (argc > next + 1 && std::strcmp(argv[next + 1], f.name) == 0) {
        out_format = &f;
      }
    }
    next += 2;
  }
  if (out_format == nullptr || argc != next + 1 || argv[next][0] == '\0' || argv[next][0] == '-') {
    return false; // an unknown format, a missing folder, or an option out of place
  }
  out_dir = argv[next];
  return true;
}

} // namespace

int main(int argc, char *argv[]) {
  guard_standard_streams();
  // A file size limit is a failed write to report, not a reason to die.
  std::signal(SIGXFSZ, SIG_IGN);
  remove_partial_page_on_signals();
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(USAGE, stdout);
    return finish_standard_output() ? EXIT_OK : EXIT_FAILURE_STATUS;
  }
  if (!read_arguments(argc, argv)) {
    std::fputs(USAGE, stderr);
    return EXIT_FAILURE_STATUS;
  }
  if (!usable_folder(out_dir)) {
    return EXIT_FAILURE_STATUS;
  }
  const bool ok = start_offscreen() && prepare_screen(find_font()) && draw_pages(save_numbered);
  stop_display();
  if (!ok) {
    return EXIT_FAILURE_STATUS;
  }
  for (const char *path : written) {
    std::printf("%s\n", path);
  }
  return finish_standard_output() ? EXIT_OK : EXIT_FAILURE_STATUS;
}
