// The program's dealings with SDL and SDL_ttf. Failures are reported the way SDL's own programs
// report them, "Couldn't ...: <reason>", and drawing never goes on without a screen or a font.
#include "display.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <sys/stat.h>

#include "display_state.h"

namespace {

// Video drivers that show nothing. SDL falls back to them by itself when there is no display,
// and a viewer in one would wait for keys nobody can press.
constexpr const char *INVISIBLE_DRIVERS[] = {"offscreen", "dummy"};
constexpr int DRIVER_NAME_SIZE = 64; // bytes, for SDL's name of the video driver
constexpr int REASON_SIZE = 256;     // bytes, for a composed failure reason

// Why the font could not be opened, in the words a user can act on: the system's reason when the
// file itself is the trouble, SDL_ttf's when its contents are.
const char *font_failure_reason(const char *font_path) {
  struct stat info {};
  if (stat(font_path, &info) != 0) {
    return std::strerror(errno);
  }
  if (S_ISDIR(info.st_mode)) {
    return "is a directory, not a font file";
  }
  if (info.st_size == 0) {
    return "the file is empty";
  }
  static char reason[REASON_SIZE];
  std::snprintf(reason, sizeof reason, "not a usable TrueType font (%s)", TTF_GetError());
  return reason;
}

// True when `screen` is the program's own memory surface rather than SDL's window.
bool screen_is_offscreen = false;

bool driver_is_invisible(const char *name) {
  for (const char *invisible : INVISIBLE_DRIVERS) {
    if (strcasecmp(name, invisible) == 0) {
      return true;
    }
  }
  return false;
}

// True when the user asked for this driver by name through SDL_VIDEODRIVER.
bool driver_chosen_explicitly(const char *name) {
  const char *chosen = std::getenv("SDL_VIDEODRIVER");
  return chosen != nullptr && strcasecmp(chosen, name) == 0;
}

} // namespace

bool start_window() {
  if (SDL_Init(SDL_INIT_VIDEO) < 0) {
    std::fprintf(stderr, "Couldn't initialize SDL: %s\n", SDL_GetError());
    return false;
  }
  char driver[DRIVER_NAME_SIZE] = "";
  if (SDL_VideoDriverName(driver, DRIVER_NAME_SIZE) != nullptr && driver_is_invisible(driver) &&
      !driver_chosen_explicitly(driver)) {
    std::fprintf(stderr,
                 "Couldn't open a window: no display available (SDL fell back to its invisible "
                 "\"%s\" video driver; is DISPLAY set?)\n",
                 driver);
    return false;
  }
  screen = SDL_SetVideoMode(SCREEN_W, SCREEN_H, SCREEN_BPP, SDL_HWSURFACE | SDL_DOUBLEBUF);
  if (screen == nullptr) {
    std::fprintf(stderr, "Couldn't set %dx%dx%d video mode: %s\n", SCREEN_W, SCREEN_H, SCREEN_BPP,
                 SDL_GetError());
    return false;
  }
  return true;
}

bool start_offscreen() {
  screen = SDL_CreateRGBSurface(SDL_SWSURFACE, SCREEN_W, SCREEN_H, SCREEN_BPP, OFFSCREEN_RED_MASK,
                                OFFSCREEN_GREEN_MASK, OFFSCREEN_BLUE_MASK, 0);
  if (screen == nullptr) {
    std::fprintf(stderr, "Couldn't create a %dx%dx%d surface: %s\n", SCREEN_W, SCREEN_H, SCREEN_BPP,
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
    std::fprintf(stderr, "Couldn't initialize SDL_ttf: %s\n", TTF_GetError());
    return false;
  }
  label_font = TTF_OpenFont(font_path, FONT_POINT_SIZE);
  if (label_font == nullptr) {
    std::fprintf(stderr, "Couldn't load font %s: %s\n", font_path, font_failure_reason(font_path));
    return false;
  }
  return true;
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

bool write_text(int x, int y) {
  const SDL_Color black = {BLACK_LEVEL, BLACK_LEVEL, BLACK_LEVEL, 0};
  text_image = TTF_RenderText_Solid(label_font, text_buffer, black);
  if (text_image == nullptr) {
    std::fprintf(stderr, "Couldn't render text \"%s\": %s\n", text_buffer, TTF_GetError());
    return false;
  }
  blit_rect.x = static_cast<Sint16>(x);
  blit_rect.y = static_cast<Sint16>(y);
  const int blitted = SDL_BlitSurface(text_image, nullptr, screen, &blit_rect);
  SDL_FreeSurface(text_image);
  text_image = nullptr;
  if (blitted < 0) {
    std::fprintf(stderr, "Couldn't draw text \"%s\": %s\n", text_buffer, SDL_GetError());
    return false;
  }
  return true;
}

bool draw_title() {
  std::snprintf(text_buffer, sizeof text_buffer, TITLE_FORMAT, PERIMETER);
  return write_text(TITLE_X, TITLE_Y);
}

bool draw_triangle_label(TriangleSides sides, CellOrigin cell) {
  std::snprintf(text_buffer, sizeof text_buffer, LABEL_FORMAT, sides.a, sides.b, sides.c);
  return write_text(cell.x, cell.y);
}

void clear_screen() { SDL_FillRect(screen, nullptr, colour_white); }

bool lock_screen() {
  if (SDL_MUSTLOCK(screen) && SDL_LockSurface(screen) < 0) {
    std::fprintf(stderr, "Couldn't lock the screen: %s\n", SDL_GetError());
    return false;
  }
  return true;
}

void unlock_screen() {
  if (SDL_MUSTLOCK(screen)) {
    SDL_UnlockSurface(screen);
  }
}

void show_page() { SDL_Flip(screen); }

bool wait_for_key() {
  SDL_Event event;
  for (;;) {
    if (SDL_WaitEvent(&event) == 0) {
      std::fprintf(stderr, "Couldn't wait for an event: %s\n", SDL_GetError());
      return false;
    }
    if (event.type == SDL_KEYDOWN || event.type == SDL_QUIT) {
      return true;
    }
    if (event.type == SDL_VIDEOEXPOSE) {
      // Another window covered ours: copy the finished page to the window again.
      SDL_UpdateRect(screen, 0, 0, 0, 0);
    }
  }
}

bool save_page(const char *path) {
  errno = 0;
  if (SDL_SaveBMP(screen, path) != 0) {
    // The system's reason where there is one ("Permission denied"), else SDL's.
    std::fprintf(stderr, "Couldn't write %s: %s\n", path,
                 errno != 0 ? std::strerror(errno) : SDL_GetError());
    return false;
  }
  return true;
}
