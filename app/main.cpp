// The viewer: opens the window, shows the pages one after another and waits for a key (or a
// close request) after each. Exit status 0 after the last page, 1 when something could not start.
#include "constants.h"
#include "display.h"
#include "pages.h"

namespace {

bool show_and_wait(int /*page*/) {
  show_page();
  return wait_for_key();
}

} // namespace

int main(int /*argc*/, char * /*argv*/[]) {
  const bool ok = start_window() && prepare_screen(FONT_FILE) && draw_pages(show_and_wait);
  stop_display();
  return ok ? EXIT_OK : EXIT_FAILURE_STATUS;
}
