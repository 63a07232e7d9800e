// The title and the labels: opening the font and writing text onto the screen. A font file is
// untrusted input, so it is opened without blocking, checked to provide every character the program
// writes, and each text is checked to fit the image SDL_ttf renders it into before rendering.
// Every function that fails reports why (report.h) and returns false.
#pragma once

#include "enumeration.h"
#include "layout.h"

// Opens the font at `font_path` as label_font: a regular file that SDL_ttf can read and that has
// a glyph with ink for every character of the title and the labels.
bool open_font(const char *font_path);

bool write_text(int x, int y); // renders text_buffer in black with its top-left at (x, y)
bool draw_title();
bool draw_triangle_label(TriangleSides sides, CellOrigin cell);
