// triangles-export [--format bmp|png] DIR: draws the viewer's four pages with the viewer's own
// drawing code into an in-memory 800x600 surface, with no window and no waiting, and saves them as
// DIR/page-1.bmp to DIR/page-4.bmp (or .png). The paths are printed only once all four are
// written.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "constants.h"
#include "display.h"
#include "pages.h"
#include "paths.h"
#include "report.h"
#include "save.h"
#include "streams.h"
#include "system.h"

namespace {

constexpr int PAGE_NAME_SIZE = 32; // bytes, for "page-N.bmp"
constexpr const char *USAGE_LINE = "Usage: triangles-export [--format bmp|png] DIR";
constexpr const char *USAGE_TEXT = "Saves the four pages of triangles as DIR/page-1.bmp ... "
                                   "DIR/page-4.bmp, or as PNG files. DIR and its missing parents "
                                   "are made if need be, as by mkdir -p.";
// Where the font is looked for, in this order: the working folder, beside the program (a build
// folder), and where it is installed with the program.
constexpr const char *FONT_PLACES_FROM_PROGRAM[] = {"", "/" INSTALLED_DATA_FROM_BIN};
constexpr int FONT_PLACES = 1 + static_cast<int>(std::size(FONT_PLACES_FROM_PROGRAM));

// The picture formats by name, each also the file name extension.
struct FormatName {
  const char *name;
  PageFormat format;
};
constexpr FormatName FORMATS[] = {{"bmp", PageFormat::BMP}, {"png", PageFormat::PNG}};

constexpr const char *END_OF_OPTIONS = "--";

const char *out_dir = nullptr;
const FormatName *out_format = &FORMATS[0];
char written[PAGE_COUNT][PATH_BYTES];

// The font as a user expects to find it: times.ttf in the working folder, else beside the program
// (a build folder), else where it is installed with the program. Fails naming each place.
const char *find_font() {
  static char places[FONT_PLACES][PATH_BYTES];
  int count = 0;
  std::snprintf(places[count++], PATH_BYTES, "%s", FONT_FILE);
  char folder[PATH_BYTES];
  if (program_folder(folder, sizeof folder)) {
    for (const char *sub : FONT_PLACES_FROM_PROGRAM) {
      if (std::snprintf(places[count], PATH_BYTES, "%s%s/%s", folder, sub, FONT_FILE) <
          PATH_BYTES) {
        ++count;
      }
    }
  }
  for (int i = 0; i < count; ++i) {
    if (file_problem(places[i]) == nullptr) {
      return places[i];
    }
  }
  char here[PATH_BYTES];
  full_path(FONT_FILE, here, sizeof here);
  report_failure("Couldn't load font %s: %s (nor found at %s%s%s)", here, file_problem(FONT_FILE),
                 count > 1 ? places[1] : "no other place", count > 2 ? " or " : "",
                 count > 2 ? places[2] : "");
  return nullptr;
}

bool save_numbered(int page) {
  if (page > PAGE_COUNT) {
    report_failure("Couldn't write page %d: only %d pages were expected", page, PAGE_COUNT);
    return false;
  }
  char name[PAGE_NAME_SIZE];
  std::snprintf(name, sizeof name, "page-%d.%s", page, out_format->name);
  std::snprintf(written[page - 1], PATH_BYTES, "%s/%s", out_dir, name);
  return save_page(out_dir, name, out_format->format);
}

bool usage_error(const char *what, const char *value = "") {
  char problem[FAILURE_LINE_MAX];
  std::snprintf(problem, sizeof problem, what, value);
  report_failure("Couldn't read the arguments: %s. %s", problem, USAGE_LINE);
  return false;
}

enum class Option { NONE, FORMAT, HELP, VERSION };

// The option that argv[i] names, as getopt_long reads them: "--format", "--help" and "--version"
// also cut short ("--form", "--he"; each begins with its own letter), "-h" also followed by other
// letters. For --format, *value is what follows its '=', or the next argument, which *i then
// moves to (nullptr if there is none).
Option option_at(int argc, char *argv[], int *i, const char **value) {
  const char *arg = argv[*i];
  if (arg[1] == 'h') {
    return Option::HELP;
  }
  const size_t length = std::strcspn(arg + 2, "=");
  const bool has_value = arg[2 + length] == '=';
  const auto names = [&](const char *name) {
    return arg[1] == '-' && length > 0 && std::strncmp(arg + 2, name, length) == 0;
  };
  if (names("help") || names("version")) {
    return has_value ? Option::NONE : names("help") ? Option::HELP : Option::VERSION;
  }
  if (!names("format")) {
    return Option::NONE;
  }
  *value = has_value ? arg + 2 + length + 1 : *i + 1 < argc ? argv[++*i] : nullptr;
  return Option::FORMAT;
}

bool choose_format(const char *name) {
  for (const FormatName &f : FORMATS) {
    if (std::strcmp(name, f.name) == 0) {
      out_format = &f;
      return true;
    }
  }
  return usage_error("unknown format '%s' (bmp or png)", name);
}

// Reads the arguments into out_format and out_dir, or prints what --help (-h) or --version asks
// for (*done). False, with the reason, when they are not what the usage line says. Options come
// before DIR, and "--" ends them (for a DIR that begins with '-').
bool read_arguments(int argc, char *argv[], bool *done) {
  int i = 1;
  for (; i < argc && argv[i][0] == '-' && argv[i][1] != '\0' &&
         std::strcmp(argv[i], END_OF_OPTIONS) != 0;
       ++i) {
    const char *value = nullptr;
    const Option option = option_at(argc, argv, &i, &value);
    if (option == Option::HELP || option == Option::VERSION) {
      std::printf(option == Option::VERSION ? "triangles-export %s\n" : "%s\n%s\n",
                  option == Option::VERSION ? TRIANGLES_VERSION : USAGE_LINE, USAGE_TEXT);
      *done = true;
      return true;
    }
    if (option == Option::NONE) {
      return usage_error("unknown option '%s'", argv[i]);
    }
    if (value == nullptr) {
      return usage_error("--format needs a value (bmp or png)");
    }
    if (!choose_format(value)) {
      return false;
    }
  }
  i += i < argc && std::strcmp(argv[i], END_OF_OPTIONS) == 0 ? 1 : 0;
  if (i >= argc || argv[i][0] == '\0') {
    return usage_error("missing DIR");
  }
  if (i + 1 < argc) {
    return usage_error("unexpected argument '%s'", argv[i + 1]);
  }
  out_dir = argv[i];
  return true;
}

// Why pages cannot go into DIR, which is first made with its missing parents as `mkdir -p` makes
// them; or nullptr.
const char *out_dir_problem() {
  if (path_facts(out_dir).error == ENOENT) {
    if (const int error = make_folders(out_dir)) {
      return std::strerror(error);
    }
  }
  return folder_problem(out_dir);
}

} // namespace

int main(int argc, char *argv[]) {
  reopen_closed_standard_streams();
  print_utf8_to_console();
  remove_unfinished_file_on_ending();
  bool done = false;
  if (!read_arguments(argc, utf8_arguments(argc, argv), &done)) {
    return EXIT_FAILURE_STATUS;
  }
  if (done) {
    return finish_standard_output() ? EXIT_OK : EXIT_FAILURE_STATUS;
  }
  if (const char *why = out_dir_problem()) {
    report_failure("Couldn't write pages into %s: %s", out_dir, why);
    return EXIT_FAILURE_STATUS;
  }
  const char *font = find_font();
  const bool ok =
      font != nullptr && start_offscreen() && prepare_screen(font) && draw_pages(save_numbered);
  stop_display();
  if (!ok) {
    return EXIT_FAILURE_STATUS;
  }
  for (const char *path : written) {
    std::printf("%s\n", path);
  }
  return finish_standard_output() ? EXIT_OK : EXIT_FAILURE_STATUS;
}
