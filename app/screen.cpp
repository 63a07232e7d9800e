// The program's dealings with SDL's video. Drawing never goes on without a screen.
#include "screen.h"

#include <SDL.h>

#include <cstdlib>

#include "constants.h"
#include "report.h"
#include "system.h"

namespace {

// Video drivers that show no window a user can answer: memory only, or text art on a terminal.
// SDL falls back to them by itself when there is no display, and a viewer in one would wait for
// keys nobody can press.
constexpr const char *WINDOWLESS_DRIVERS[] = {"offscreen", "dummy", "caca", "aalib"};
constexpr int DRIVER_NAME_SIZE = 64; // bytes, for SDL's name of the video driver

bool driver_is_windowless(const char *name) {
  for (const char *windowless : WINDOWLESS_DRIVERS) {
    if (SDL_strcasecmp(name, windowless) == 0) {
      return true;
    }
  }
  return false;
}

// True when the user asked for this driver by name through SDL_VIDEODRIVER.
bool driver_chosen_explicitly(const char *name) {
  const char *chosen = std::getenv("SDL_VIDEODRIVER");
  return chosen != nullptr && SDL_strcasecmp(chosen, name) == 0;
}

const char *start_video() {
  if (SDL_Init(SDL_INIT_VIDEO) >= 0) {
    return nullptr;
  }
  char why[FAILURE_LINE_MAX]; // SDL 2 repeats an unknown SDL_VIDEODRIVER in its reason
  return failure(
      "Couldn't initialize SDL: %s",
      with_value_shortened(SDL_GetError(), std::getenv("SDL_VIDEODRIVER"), why, sizeof why));
}

// Refuses a driver that shows no window unless SDL_VIDEODRIVER names it.
const char *windowless_driver_problem() {
  char driver[DRIVER_NAME_SIZE] = "";
  if (SDL_VideoDriverName(driver, DRIVER_NAME_SIZE) == nullptr || !driver_is_windowless(driver) ||
      driver_chosen_explicitly(driver)) {
    return nullptr;
  }
  const char *x_display = std::getenv("DISPLAY");
  if (x_display == nullptr || x_display[0] == '\0') {
    return failure("Couldn't open a window: no display available (SDL fell back to its \"%s\" "
                   "video driver; is DISPLAY set?)",
                   driver);
  }
  char shown[SHOWN_VALUE_MAX * 2];
  return failure("Couldn't open a window: the X server at DISPLAY=%s refused the connection, is "
                 "not running or did not answer (SDL fell back to its \"%s\" video driver)",
                 shortened(x_display, shown, sizeof shown), driver);
}

const char *set_window_mode(Screen *screen) {
  screen->surface = SDL_SetVideoMode(SCREEN_W, SCREEN_H, SCREEN_BPP, SDL_HWSURFACE | SDL_DOUBLEBUF);
  if (screen->surface == nullptr) {
    return failure("Couldn't set %dx%dx%d video mode: %s", SCREEN_W, SCREEN_H, SCREEN_BPP,
                   SDL_GetError());
  }
  return nullptr;
}

// The colours in the surface's format, and the surface cleared to white.
void prepare(Screen *screen) {
  screen->white = SDL_MapRGB(screen->surface->format, WHITE_LEVEL, WHITE_LEVEL, WHITE_LEVEL);
  screen->black = SDL_MapRGB(screen->surface->format, BLACK_LEVEL, BLACK_LEVEL, BLACK_LEVEL);
  clear_screen(*screen);
}

} // namespace

const char *open_window(Screen *screen) {
  if (const char *problem = start_video()) {
    return problem;
  }
  if (const char *problem = windowless_driver_problem()) {
    return problem;
  }
  if (const char *problem = set_window_mode(screen)) {
    return problem;
  }
  watch_display();
  prepare(screen);
  return nullptr;
}

const char *open_memory_screen(Screen *screen) {
  screen->surface = SDL_CreateRGBSurface(SDL_SWSURFACE, SCREEN_W, SCREEN_H, SCREEN_BPP,
                                         MEMORY_RED_MASK, MEMORY_GREEN_MASK, MEMORY_BLUE_MASK, 0);
  if (screen->surface == nullptr) {
    return failure("Couldn't create a %dx%dx%d surface: %s", SCREEN_W, SCREEN_H, SCREEN_BPP,
                   SDL_GetError());
  }
  screen->owns_surface = true;
  prepare(screen);
  return nullptr;
}

void close_screen(Screen *screen) {
  if (screen->owns_surface) {
    SDL_FreeSurface(screen->surface);
  }
  *screen = Screen{};
  SDL_Quit();
}

void display_failed(const char *error) {
  report_failure(
      error != nullptr
          ? failure("Couldn't keep the window: the X server reported an error (%s)", error)
          : failure("Couldn't keep the window: the connection to the X server was lost"));
  std::_Exit(EXIT_FAILURE);
}

void clear_screen(const Screen &screen) { SDL_FillRect(screen.surface, nullptr, screen.white); }

const char *lock_screen(const Screen &screen, Canvas *canvas) {
  SDL_Surface *surface = screen.surface;
  if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) < 0) {
    return failure("Couldn't lock the screen: %s", SDL_GetError());
  }
  *canvas = Canvas{surface->pixels, surface->w, surface->h, surface->pitch};
  return nullptr;
}

void unlock_screen(const Screen &screen) {
  if (SDL_MUSTLOCK(screen.surface)) {
    SDL_UnlockSurface(screen.surface);
  }
}

// Both present at once: SDL_Flip of a window that is no hardware surface, and an update of the
// whole screen, copy the surface to the window before they return. (sdl12-compat too: it leaves
// for later only partial updates and those from other threads.)
void show_page(const Screen &screen) { SDL_Flip(screen.surface); }

void repaint_screen(const Screen &screen) {
  SDL_UpdateRect(screen.surface, 0, 0, 0, 0); // a copy, not a flip: the page shown is the one drawn
}
