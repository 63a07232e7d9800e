// The viewer: opens the window, shows the pages one after another and waits for a key (or a
// close request) after each. Exit status 0 after the last page, 1 when something could not start
// or went wrong; an ending request ends it at once, as that request would (system.h).
#include <SDL.h> // on Windows it renames main to SDL_main, which SDL's entry wrapper calls

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "constants.h"
#include "display.h"
#include "events.h"
#include "pages.h"
#include "paths.h"
#include "report.h"
#include "system.h"

namespace {

bool show_and_wait(int page) {
  show_page();
  describe_page(page);
  return wait_for_key();
}

// The viewer reads its font from the working folder only. Started where there is none (from a
// source tree, say), it says where to start it instead.
bool font_is_here() {
  if (path_facts(FONT_FILE).error != ENOENT) {
    return true; // any other trouble with it is open_font's to report
  }
  char here[PATH_BYTES];
  char folder[PATH_BYTES];
  char beside[PATH_BYTES];
  full_path(FONT_FILE, here, sizeof here);
  const bool found_beside =
      program_folder(folder, sizeof folder) &&
      std::snprintf(beside, sizeof beside, "%s/%s", folder, FONT_FILE) < PATH_BYTES &&
      path_facts(beside).kind == PathKind::REGULAR;
  report_failure("Couldn't load font %s: %s (start triangles in the folder that holds %s%s%s, or "
                 "through the installed triangles launcher)",
                 here, std::strerror(ENOENT), FONT_FILE, found_beside ? ", such as " : "",
                 found_beside ? folder : "");
  return false;
}

} // namespace

int main(int /*argc*/, char * /*argv*/[]) {
  reopen_closed_standard_streams();
  const bool ok = catch_ending_requests() && start_window() && font_is_here() &&
                  prepare_screen(FONT_FILE) && draw_pages(show_and_wait);
  stop_display();
  if (ending_request() != 0) {
    end_as(ending_request());
  }
  if (!ok) {
    show_failure(first_failure());
  }
  return ok ? EXIT_OK : EXIT_FAILURE_STATUS;
}
