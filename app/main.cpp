// The viewer: opens the window, shows the pages one after another and waits for a key (or a
// close request) after each. Exit status 0 after the last page, 1 when something could not start
// or went wrong; SIGINT, SIGTERM and SIGHUP end it at once, by that signal.
#include <SDL.h> // on Windows it renames main to SDL_main, which SDL's entry wrapper calls

#include "constants.h"
#include "display.h"
#include "events.h"
#include "pages.h"
#include "report.h"
#include "system.h"

namespace {

bool show_and_wait(int /*page*/) {
  show_page();
  return wait_for_key();
}

} // namespace

int main(int /*argc*/, char * /*argv*/[]) {
  guard_standard_streams();
  const bool ok = catch_ending_signals() && start_window() && prepare_screen(FONT_FILE) &&
                  draw_pages(show_and_wait);
  stop_display();
  if (ending_signal() != 0) {
    die_of(ending_signal());
  }
  if (!ok) {
    show_failure(first_failure());
  }
  return ok ? EXIT_OK : EXIT_FAILURE_STATUS;
}
