// Preloaded into the viewer by a test: an SDL_WaitEvent that reports an error at once, as the
// real one does when the event system breaks down.
#include <SDL.h>

extern "C" int SDL_WaitEvent(SDL_Event * /*event*/) {
  SDL_SetError("event queue broken (simulated)");
  return 0;
}
