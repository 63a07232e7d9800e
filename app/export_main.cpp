// triangles-export [--format bmp|png] DIR: draws the viewer's four pages with the viewer's own
// drawing code into an 800x600 surface in memory, with no window and no waiting, and saves them as
// DIR/page-1.bmp to DIR/page-4.bmp (or .png). The paths are printed only once all four are
// written.
#include <getopt.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "constants.h"
#include "font.h"
#include "pages.h"
#include "report.h"
#include "save.h"
#include "screen.h"
#include "streams.h"
#include "system.h"

namespace {

constexpr const char *USAGE_LINE = "Usage: triangles-export [--format bmp|png] DIR";
constexpr const char *USAGE_TEXT = "Saves the four pages of triangles as DIR/page-1.bmp ... "
                                   "DIR/page-4.bmp, or as PNG files. DIR and its missing parents "
                                   "are made if need be, as by mkdir -p.";
// Where the font is installed, from the program's folder.
constexpr const char *INSTALLED_FONT_FOLDER = "/" INSTALLED_DATA_FROM_BIN;

// What the command line asks for, and the run that does it.
enum class Request : unsigned char { EXPORT, HELP, VERSION };
struct Export {
  Request request = Request::EXPORT;
  const char *dir = nullptr;
  const PageFormat *format = page_format("bmp");
  Screen screen;
  char written[PAGE_COUNT][PATH_BYTES] = {};
};

// What is wrong with the arguments, with the usage line.
const char *usage_problem(const char *reason) {
  return failure("Couldn't read the arguments: %s. %s", reason, USAGE_LINE);
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
        return usage_problem(failure("unexpected argument '%s'", argv[optind + 1]));
      }
      run->dir = argv[optind];
      return nullptr;
    case 'f':
      run->format = page_format(optarg);
      if (run->format == nullptr) {
        return usage_problem(failure("unknown format '%s' (bmp or png)", optarg));
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
      return usage_problem(failure("unknown option '%s'", argv[at]));
    }
  }
}

// Why pages cannot go into DIR, which is first made with its missing parents as `mkdir -p` makes
// them (mode 0777 less the umask): it must be a folder in which new files can be made; or nullptr.
const char *folder_problem(const char *dir) {
  std::error_code error;
  if (path_facts(dir).error == ENOENT &&
      !std::filesystem::create_directories(std::filesystem::u8path(dir), error) && error) {
    return failure("%s", error.message().c_str());
  }
  const PathFacts facts = path_facts(dir);
  if (facts.error != 0 || facts.write_error != 0) {
    return std::strerror(facts.error != 0 ? facts.error : facts.write_error);
  }
  return facts.kind == PathKind::DIRECTORY ? nullptr : "not a directory";
}

const char *save_numbered(void *context, int page, const char * /*description*/) {
  Export &run = *static_cast<Export *>(context);
  if (page > PAGE_COUNT) {
    return failure("Couldn't write page %d: only %d pages were expected", page, PAGE_COUNT);
  }
  return save_page(run.screen, run.dir, page, *run.format, run.written[page - 1]);
}

// Opens the screen and the font into run->screen and *font and saves every page.
const char *draw_and_save(Export *run, Font *font) {
  char font_path[PATH_BYTES];
  if (const char *problem = find_exporter_font(INSTALLED_FONT_FOLDER, font_path)) {
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
  if (const char *why = folder_problem(run->dir)) {
    return failure("Couldn't write pages into %s: %s", run->dir, why);
  }
  Font font;
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
  prepare_exporter();
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
