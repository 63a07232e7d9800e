// The yardstick for the viewer's own cost: the same four pages made with only the SDL and SDL_ttf
// calls they cannot do without (the window, the colours, clearing, the title and the 33 labels
// rendered and blitted, a flip and a wait per page, and the shut-down), with no checks, no figures
// and no sleeping wait. instruction_ratio.sh compares a whole run of each.
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>

#include "constants.h"
#include "enumeration.h"
#include "layout.h"

namespace {

SDL_Surface *window = nullptr;
TTF_Font *font = nullptr;

void write(const char *text, int x, int y) {
  SDL_Surface *image = TTF_RenderText_Solid(font, text, SDL_Color{0, 0, 0, 0});
  SDL_Rect where = {static_cast<Sint16>(x), static_cast<Sint16>(y), 0, 0};
  SDL_BlitSurface(image, nullptr, window, &where);
  SDL_FreeSurface(image);
}

void show_and_wait() {
  SDL_Flip(window);
  SDL_Event event;
  while (SDL_WaitEvent(&event) != 0 && event.type != SDL_KEYDOWN && event.type != SDL_QUIT) {
  }
}

} // namespace

int main() {
  SDL_Init(SDL_INIT_VIDEO);
  window = SDL_SetVideoMode(SCREEN_W, SCREEN_H, SCREEN_BPP, SDL_HWSURFACE | SDL_DOUBLEBUF);
  const Uint32 white = SDL_MapRGB(window->format, WHITE_LEVEL, WHITE_LEVEL, WHITE_LEVEL);
  SDL_MapRGB(window->format, BLACK_LEVEL, BLACK_LEVEL, BLACK_LEVEL);
  SDL_FillRect(window, nullptr, white);
  TTF_Init();
  font = TTF_OpenFont(FONT_FILE, FONT_POINT_SIZE);
  char text[TEXT_BUFFER_SIZE];
  std::snprintf(text, sizeof text, TITLE_FORMAT, PERIMETER);
  write(text, TITLE_X, TITLE_Y);
  CellOrigin cell = first_cell();
  EnumerationState enumeration;
  TriangleSides sides{};
  while (next_triangle(&enumeration, &sides)) {
    std::snprintf(text, sizeof text, LABEL_FORMAT, sides.a, sides.b, sides.c);
    write(text, cell.x, cell.y);
    if (advance_cell(&cell)) {
      show_and_wait();
      SDL_FillRect(window, nullptr, white);
    }
  }
  show_and_wait();
  TTF_CloseFont(font);
  TTF_Quit();
  SDL_Quit();
  return 0;
}
