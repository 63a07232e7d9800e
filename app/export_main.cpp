// triangles-export [--format bmp|png] DIR: draws the viewer's four pages with the viewer's own
// drawing code into an 800x600 surface in memory, with no window and no waiting, and saves them as
// DIR/page-1.bmp to DIR/page-4.bmp (or .png). The paths are printed only once all four are
// written.
#include <getopt.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "constants.h"
#include "font.h"
#include "pages.h"
#include "paths.h"
#include "report.h"
#include "save.h"
#include "screen.h"
#include "streams.h"
#include "system.h"

namespace {

constexpr int PAGE_NAME_SIZE = 32; // bytes, for "page-N.bmp"
constexpr const char *USAGE_LINE = "Usage: triangles-export [--format bmp|png] DIR";
constexpr const char *USAGE_TEXT = "Saves the four pages of triangles as DIR/page-1.bmp ... "
                                   "DIR/page-4.bmp, or as PNG files. DIR and its missing parents "
                                   "are made if need be, as by mkdir -p.";
// Where the font is installed, from the program's folder.
constexpr const char *INSTALLED_FONT_FOLDER = "/" INSTALLED_DATA_FROM_BIN;

// The picture formats by name, each also the file name extension.
struct FormatName {
  const char *name;
  PageFormat format;
};
constexpr FormatName FORMATS[] = {{"bmp", PageFormat::BMP}, {"png", PageFormat::PNG}};

// What the command line asks for, and the run that does it.
enum class Request : unsigned char { EXPORT, HELP, VERSION };
struct Export {
  Request request = Request::EXPORT;
  const char *dir = nullptr;
  const FormatName *format = &FORMATS[0];
  Screen screen;
  char written[PAGE_COUNT][PATH_BYTES] = {};
};

// What is wrong with the arguments (printf-like), with the usage line.
__attribute__((format(printf, 1, 2))) const char *usage_problem(const char *format, ...) {
  char problem[FAILURE_LINE_MAX];
  va_list values;
  va_start(values, format);
  std::vsnprintf(problem, sizeof problem, format, values);
  va_end(values);
  return failure("Couldn't read the arguments: %s. %s", problem, USAGE_LINE);
}

const char *choose_format(const char *name, Export *run) {
  const auto *found = std::find_if(std::begin(FORMATS), std::end(FORMATS), [name](const auto &f) {
    return std::strcmp(name, f.name) == 0;
  });
  if (found == std::end(FORMATS)) {
    return usage_problem("unknown format '%s' (bmp or png)", name);
  }
  run->format = found;
  return nullptr;
}

// Reads the command line into *run as getopt_long reads it: long options also cut short
// ("--form", "--vers"), options before DIR, and "--" ending them (for a DIR that begins with '-').
const char *read_arguments(int argc, char *argv[], Export *run) {
  const option options[] = {{"format", required_argument, nullptr, 'f'},
                            {"help", no_argument, nullptr, 'h'},
                            {"version", no_argument, nullptr, 'v'},
                            {nullptr, 0, nullptr, 0}};
  opterr = 0; // the one line below says what was wrong
  for (;;) {
    const int at = optind; // the argument being read
    switch (getopt_long(argc, argv, "+:h", options, nullptr)) {
    case -1:
      if (optind >= argc || argv[optind][0] == '\0') {
        return usage_problem("missing DIR");
      }
      if (optind + 1 < argc) {
        return usage_problem("unexpected argument '%s'", argv[optind + 1]);
      }
      run->dir = argv[optind];
      return nullptr;
    case 'f':
      if (const char *problem = choose_format(optarg, run)) {
        return problem;
      }
      break;
    case 'h':
      run->request = Request::HELP;
      return nullptr;
    case 'v':
      run->request = Request::VERSION;
      return nullptr;
    case ':':
      return usage_problem("--format needs a value (bmp or png)");
    default:
      return usage_problem("unknown option '%s'", argv[at]);
    }
  }
}

// Why pages cannot go into DIR, which is first made with its missing parents as `mkdir -p` makes
// them; or nullptr.
const char *folder_made_problem(const char *dir) {
  if (path_facts(dir).error == ENOENT) {
    if (const int error = make_folders(dir)) {
      return std::strerror(error);
    }
  }
  return folder_problem(dir);
}

const char *save_numbered(void *context, int page, const char * /*description*/) {
  Export &run = *static_cast<Export *>(context);
  if (page > PAGE_COUNT) {
    return failure("Couldn't write page %d: only %d pages were expected", page, PAGE_COUNT);
  }
  char name[PAGE_NAME_SIZE];
  std::snprintf(name, sizeof name, "page-%d.%s", page, run.format->name);
  std::snprintf(run.written[page - 1], PATH_BYTES, "%s/%s", run.dir, name);
  return save_page(run.screen, run.dir, name, run.format->format);
}

// Opens the screen and the font into run->screen and *font and saves every page.
const char *draw_and_save(Export *run, TTF_Font **font) {
  const char *font_path = nullptr;
  if (const char *problem = find_exporter_font(INSTALLED_FONT_FOLDER, &font_path)) {
    return problem;
  }
  if (const char *problem = open_memory_screen(&run->screen)) {
    return problem;
  }
  if (const char *problem = open_font(font_path, font)) {
    return problem;
  }
  return draw_pages(run->screen, *font, save_numbered, run);
}

const char *export_pages(Export *run) {
  if (const char *why = folder_made_problem(run->dir)) {
    return failure("Couldn't write pages into %s: %s", run->dir, why);
  }
  TTF_Font *font = nullptr;
  const char *problem = draw_and_save(run, &font);
  close_font(&font);
  close_screen(&run->screen);
  return problem;
}

// Carries out what the command line asks for: nullptr, or the failure line.
const char *carry_out(Export *run) {
  if (run->request == Request::HELP) {
    std::printf("%s\n%s\n", USAGE_LINE, USAGE_TEXT);
  } else if (run->request == Request::VERSION) {
    std::printf("triangles-export %s\n", TRIANGLES_VERSION);
  } else if (const char *problem = export_pages(run)) {
    return problem;
  } else {
    for (const char *path : run->written) {
      std::printf("%s\n", path);
    }
  }
  return finish_standard_output();
}

} // namespace

int main(int argc, char *argv[]) {
  argv = start_console(argc, argv);
  remove_unfinished_file_on_ending();
  Export run;
  const char *problem = read_arguments(argc, argv, &run);
  if (problem == nullptr) {
    problem = carry_out(&run);
  }
  if (problem != nullptr) {
    report_failure(problem);
    return EXIT_FAILURE;
  }
  return EXIT_SUCCESS;
}
