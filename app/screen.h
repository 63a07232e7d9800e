// The screen the pages are drawn on: SDL's video and its 800x600x32 surface, a window or memory
// (for saving pages), with the two colours mapped for it. Whoever opens it closes it.
#pragma once

#include <cstdint>

#include "raster.h"

struct SDL_Surface; // SDL's header renames main on Windows: only the viewer's main includes it

struct Screen {
  SDL_Surface *surface = nullptr;
  std::uint32_t white = 0;   // mapped pixel value of (255, 255, 255)
  std::uint32_t black = 0;   // mapped pixel value of (0, 0, 0)
  bool owns_surface = false; // the program made the surface (in memory) and frees it when closed
};

// SDL video and the window, cleared to white. Refuses a driver that shows no window (SDL falls
// back to one when there is no display) unless SDL_VIDEODRIVER names it.
const char *open_window(Screen *screen);
const char *open_memory_screen(Screen *screen); // a surface in memory instead, cleared to white
void close_screen(Screen *screen);              // frees what was opened; SDL_Quit

void clear_screen(const Screen &screen); // the whole surface to white
// The surface's pixels for the raster routines, locked where SDL needs it until unlock_screen.
const char *lock_screen(const Screen &screen, Canvas *canvas);
void unlock_screen(const Screen &screen);

void show_page(const Screen &screen);      // makes what was drawn visible, at once
void repaint_screen(const Screen &screen); // copies the shown page to the window again
