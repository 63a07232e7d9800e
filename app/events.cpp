// The wait: SDL stays the source of events. It pumps SDL, takes what SDL queued, and when nothing
// is queued sleeps until the system has input for it.
#include "events.h"

#include <SDL.h>

#include "report.h"
#include "system.h"

namespace {

bool is_modifier(SDLKey key) { return key >= SDLK_NUMLOCK && key <= SDLK_COMPOSE; }

bool turns_the_page(const SDL_Event &event) {
  return event.type == SDL_QUIT ||
         (event.type == SDL_KEYDOWN && !is_modifier(event.key.keysym.sym));
}

const char *wait_for_page_turn(const Screen &screen) {
  SDL_Event event;
  while (!ending_requested()) {
    SDL_PumpEvents();
    const int pending = SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, SDL_ALLEVENTS);
    if (pending == 0) {
      if (const char *why = sleep_until_input()) {
        return failure("Couldn't wait for an event: %s", why);
      }
      continue;
    }
    if (pending < 0 || SDL_WaitEvent(&event) == 0) {
      return failure("Couldn't wait for an event: %s", SDL_GetError());
    }
    if (turns_the_page(event)) {
      return nullptr;
    }
    if (event.type == SDL_VIDEOEXPOSE) {
      repaint_screen(screen); // another window covered ours: show the finished page again
    }
  }
  return failure("Couldn't wait for a key: a request to end arrived");
}

} // namespace

const char *wait_for_key(const Screen &screen) {
  set_waiting(true);
  const char *problem = wait_for_page_turn(screen);
  set_waiting(false);
  return problem;
}
