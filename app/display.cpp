// The program's dealings with SDL's video. Drawing never goes on without a screen or a font.
#include "display.h"

#include <cstdlib>

#include "display_state.h"
#include "report.h"
#include "system.h"
#include "text.h"

namespace {

// Video drivers that show no window a user can answer: memory only, or text art on a terminal.
// SDL falls back to them by itself when there is no display, and a viewer in one would wait for
// keys nobody can press.
constexpr const char *WINDOWLESS_DRIVERS[] = {"offscreen", "dummy", "caca", "aalib"};
constexpr int DRIVER_NAME_SIZE = 64; // bytes, for SDL's name of the video driver
// SDL 2's hints (read from the environment) for drawing the window without OpenGL. putenv keeps
// the settings themselves, so they live as long as the program.
char render_driver_setting[] = "SDL_RENDER_DRIVER=software";
char framebuffer_setting[] = "SDL_FRAMEBUFFER_ACCELERATION=software";
struct Hint {
  const char *name;
  char *setting;
};
const Hint SOFTWARE_RENDERING_HINTS[] = {{"SDL_RENDER_DRIVER", render_driver_setting},
                                         {"SDL_FRAMEBUFFER_ACCELERATION", framebuffer_setting}};

// True when `screen` is the program's own memory surface rather than SDL's window.
bool screen_is_offscreen = false;

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

void report_no_window(const char *driver) {
  const char *x_display = std::getenv("DISPLAY");
  if (x_display != nullptr && x_display[0] != '\0') {
    char shown[SHOWN_VALUE_MAX * 2];
    report_failure("Couldn't open a window: the X server at DISPLAY=%s refused the connection, "
                   "is not running or did not answer (SDL fell back to its \"%s\" video driver)",
                   shortened(x_display, shown, sizeof shown), driver);
  } else {
    report_failure("Couldn't open a window: no display available (SDL fell back to its \"%s\" "
                   "video driver; is DISPLAY set?)",
                   driver);
  }
}

// The window is a software surface: SDL 2 under sdl12-compat would otherwise load the whole
// OpenGL stack (about 90 MB and 0.2 s) to show it, with the same pixels. The user's own setting of
// either hint wins; classic SDL 1.2 ignores both.
void use_software_rendering() {
  for (const Hint &hint : SOFTWARE_RENDERING_HINTS) {
    if (std::getenv(hint.name) == nullptr) {
      putenv(hint.setting);
    }
  }
}

bool start_video() {
  if (SDL_Init(SDL_INIT_VIDEO) >= 0) {
    return true;
  }
  char why[FAILURE_LINE_MAX]; // SDL 2 repeats an unknown SDL_VIDEODRIVER in its reason
  report_failure(
      "Couldn't initialize SDL: %s",
      with_value_shortened(SDL_GetError(), std::getenv("SDL_VIDEODRIVER"), why, sizeof why));
  return false;
}

// Refuses a driver that shows no window unless SDL_VIDEODRIVER names it.
bool driver_shows_a_window() {
  char driver[DRIVER_NAME_SIZE] = "";
  if (SDL_VideoDriverName(driver, DRIVER_NAME_SIZE) != nullptr && driver_is_windowless(driver) &&
      !driver_chosen_explicitly(driver)) {
    report_no_window(driver);
    return false;
  }
  return true;
}

bool set_window_mode() {
  screen = SDL_SetVideoMode(SCREEN_W, SCREEN_H, SCREEN_BPP, SDL_HWSURFACE | SDL_DOUBLEBUF);
  if (screen == nullptr) {
    report_failure("Couldn't set %dx%dx%d video mode: %s", SCREEN_W, SCREEN_H, SCREEN_BPP,
                   SDL_GetError());
    return false;
  }
  return true;
}

} // namespace

bool start_window() {
  use_software_rendering();
  quiet_display_libraries();
  install_display_error_handlers();
  if (!start_video() || !driver_shows_a_window() || !set_window_mode()) {
    return false;
  }
  watch_display();
  return true;
}

bool start_offscreen() {
  screen = SDL_CreateRGBSurface(SDL_SWSURFACE, SCREEN_W, SCREEN_H, SCREEN_BPP, OFFSCREEN_RED_MASK,
                                OFFSCREEN_GREEN_MASK, OFFSCREEN_BLUE_MASK, 0);
  if (screen == nullptr) {
    report_failure("Couldn't create a %dx%dx%d surface: %s", SCREEN_W, SCREEN_H, SCREEN_BPP,
                   SDL_GetError());
    return false;
  }
  screen_is_offscreen = true;
  return true;
}

bool prepare_screen(const char *font_path) {
  colour_white = SDL_MapRGB(screen->format, WHITE_LEVEL, WHITE_LEVEL, WHITE_LEVEL);
  colour_black = SDL_MapRGB(screen->format, BLACK_LEVEL, BLACK_LEVEL, BLACK_LEVEL);
  clear_screen();
  if (TTF_Init() < 0) {
    report_failure("Couldn't initialize SDL_ttf: %s", TTF_GetError());
    return false;
  }
  return open_font(font_path);
}

void stop_display() {
  if (label_font != nullptr) {
    TTF_CloseFont(label_font);
    label_font = nullptr;
  }
  if (TTF_WasInit() != 0) {
    TTF_Quit();
  }
  if (screen_is_offscreen) {
    SDL_FreeSurface(screen);
    screen_is_offscreen = false;
  }
  screen = nullptr;
  SDL_Quit();
}

void clear_screen() { SDL_FillRect(screen, nullptr, colour_white); }

bool lock_screen() {
  if (SDL_MUSTLOCK(screen) && SDL_LockSurface(screen) < 0) {
    report_failure("Couldn't lock the screen: %s", SDL_GetError());
    return false;
  }
  return true;
}

void unlock_screen() {
  if (SDL_MUSTLOCK(screen)) {
    SDL_UnlockSurface(screen);
  }
}

// Both present at once: SDL_Flip of a window that is no hardware surface, and an update of the
// whole screen, copy the surface to the window before they return. (sdl12-compat too: it leaves
// for later only partial updates and those from other threads.)
void show_page() { SDL_Flip(screen); }

void repaint_screen() {
  SDL_UpdateRect(screen, 0, 0, 0, 0); // a copy, not a flip: the page shown is the one drawn
}
