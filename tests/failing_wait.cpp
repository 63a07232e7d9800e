// Preloaded into the viewer by a test: an event system that has an event queued but fails to
// deliver it, as SDL_WaitEvent does when the event system breaks down.
#include <SDL.h>

extern "C" int SDL_PeepEvents(SDL_Event * /*events*/, int /*numevents*/, SDL_eventaction /*action*/,
                              Uint32 /*mask*/) {
  return 1;
}

extern "C" int SDL_WaitEvent(SDL_Event * /*event*/) {
  SDL_SetError("event queue broken (simulated)");
  return 0;
}
