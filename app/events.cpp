// The wait: SDL stays the source of events. It pumps SDL, takes what SDL queued, and when nothing
// is queued sleeps until the system has input for it; exposures repaint the page.
#include "events.h"

#include <SDL.h>

#include "display.h"
#include "report.h"
#include "system.h"

namespace {

bool is_modifier(SDLKey key) { return key >= SDLK_NUMLOCK && key <= SDLK_COMPOSE; }

bool turns_the_page(const SDL_Event &event) {
  return event.type == SDL_QUIT ||
         (event.type == SDL_KEYDOWN && !is_modifier(event.key.keysym.sym));
}

bool wait_for_page_turn() {
  SDL_Event event;
  while (ending_request() == 0) {
    SDL_PumpEvents();
    const int pending = SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_ALLEVENTS);
    if (pending == 0) {
      if (!sleep_until_input()) {
        return false;
      }
      continue;
    }
    if (pending < 0 || SDL_WaitEvent(&event) == 0) {
      report_failure("Couldn't wait for an event: %s", SDL_GetError());
      return false;
    }
    if (turns_the_page(event)) {
      return true;
    }
    if (event.type == SDL_VIDEOEXPOSE) {
      repaint_screen(); // another window covered ours: show the finished page again
    }
  }
  return false;
}

} // namespace

bool wait_for_key() {
  set_waiting(true);
  const bool turned = wait_for_page_turn();
  set_waiting(false);
  return turned;
}
