// Preloaded into the viewer for a run without a user: a look at the queue always finds an event
// waiting, and every wait for one is answered at once with a key press (a whole run, headless),
// or, with ANSWER_WAITS=fail, fails to deliver it, as SDL_WaitEvent does when the event system
// breaks down.
#include <SDL.h>

#include <cstdlib>
#include <cstring>

extern "C" int SDL_PeepEvents(SDL_Event * /*events*/, int /*numevents*/, SDL_eventaction /*action*/,
                              Uint32 /*mask*/) {
  return 1;
}

extern "C" int SDL_WaitEvent(SDL_Event *event) {
  const char *answer = std::getenv("ANSWER_WAITS");
  if (answer != nullptr && std::strcmp(answer, "fail") == 0) {
    SDL_SetError("event queue broken (simulated)");
    return 0;
  }
  event->type = SDL_KEYDOWN;
  event->key.keysym.sym = SDLK_SPACE;
  return 1;
}
