// The program-wide display state: the screen surface, the two colours, the font, the text buffer
// and the rectangle every text is blitted to. Defined here once (inline variables) so the raster
// routines can read `screen` without linking the application.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdint>

#include "constants.h"

inline SDL_Surface *screen = nullptr;      // the 800x600x32 drawing surface; owned by SDL
inline std::uint32_t colour_white = 0;     // mapped pixel value of (255, 255, 255)
inline std::uint32_t colour_black = 0;     // mapped pixel value of (0, 0, 0)
inline TTF_Font *label_font = nullptr;     // the only font, for the title and the labels
inline char text_buffer[TEXT_BUFFER_SIZE]; // the text about to be rendered
inline SDL_Rect blit_rect;                 // destination of every text blit; only x, y are set
inline SDL_Surface *text_image = nullptr;  // the most recent rendered text, until blitted
