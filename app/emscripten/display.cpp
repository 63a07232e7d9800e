// The wait in a web page. The program runs as one straight sequence (ASYNCIFY): the sleep saves
// its stack and returns to the browser, which runs nothing of the program's until the video
// driver's next key or tap event (web/sdl/SDL_webvideo.c) resumes it. No timer, no loop: the
// page is idle while the program waits. The browser reports its own failures of the display.
#include <emscripten.h>

#include "system.h"

namespace {

EM_ASYNC_JS(void, await_next_input, (), {
  if (Module.webVideo) {
    await Module.webVideo.nextInput();
  }
});

} // namespace

void watch_display() {}

const char *sleep_until_input() {
  await_next_input();
  return nullptr;
}
