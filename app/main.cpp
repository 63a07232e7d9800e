// The viewer: opens the window, shows the pages one after another and waits for a key (or a
// close request) after each. Exit status 0 after the last page, 1 when something could not start
// or went wrong, said in one line; a request to end ends it as the request would (system.h).
#include <SDL.h> // on Windows it renames main to SDL_main, which SDL's entry wrapper calls

#include <cstdlib>

#include "constants.h"
#include "events.h"
#include "font.h"
#include "pages.h"
#include "report.h"
#include "screen.h"
#include "system.h"

namespace {

// The context is the Screen; its type is the one every PageDone takes.
// cppcheck-suppress constParameterCallback
const char *show_and_wait(void *screen, int /*page*/, const char *description) {
  const Screen &shown = *static_cast<const Screen *>(screen);
  show_page(shown);
  show_user(Shown::PAGE_TEXT, description);
  return wait_for_key(shown);
}

// Opens the window and the font into *screen and *font and shows every page.
const char *view(Screen *screen, Font *font) {
  if (const char *why = prepare_viewer()) {
    return failure("Couldn't prepare for requests to end: %s", why);
  }
  if (const char *problem = open_window(screen)) {
    return problem;
  }
  if (const char *problem = viewer_font_problem()) {
    return problem;
  }
  if (const char *problem = open_font(FONT_FILE, font)) {
    return problem;
  }
  return draw_pages(*screen, *font, show_and_wait, screen);
}

} // namespace

int main(int argc, char *argv[]) {
  start_console(argc, argv);
  Screen screen;
  Font font;
  const char *problem = view(&screen, &font);
  close_font(&font);
  close_screen(&screen);
  end_if_requested();
  if (problem != nullptr) {
    report_failure(problem);
    show_user(Shown::FAILURE, problem);
    return EXIT_FAILURE;
  }
  return EXIT_SUCCESS;
}
