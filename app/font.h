// The font and the text drawn with it. A font file is untrusted input: it is read only from a
// regular file with contents (reading a FIFO or a device could block for ever), checked to provide
// every character the program writes (font_checks.h), and each text is checked to fit the image
// SDL_ttf renders it into before it is rendered and to show every character after. Every refusal
// of a font, missing, odd, incomplete or damaged, is worded here.
#pragma once

#include "constants.h"
#include "screen.h"

// As SDL_ttf.h declares it, whose SDL.h would rename main on Windows in the exporter too.
typedef struct _TTF_Font TTF_Font; // NOLINT(bugprone-reserved-identifier): SDL_ttf's name

// An open font and its full path, which messages name.
struct Font {
  TTF_Font *ttf = nullptr;
  char name[PATH_BYTES] = "";
};

// Finding it. The viewer reads times.ttf from its working folder only; the exporter takes the
// first of the working folder, beside the program and the installed data folder (`installed`,
// relative to the program's folder) that holds one, into `path`.
const char *viewer_font_problem();
const char *find_exporter_font(const char *installed, char (&path)[PATH_BYTES]);

// Opens the font at `path` into *font, SDL_ttf first; close_font closes both again.
const char *open_font(const char *path, Font *font);
void close_font(Font *font);

// Renders `text` in black with its top-left corner at (x, y) of the screen.
const char *write_text(const Screen &screen, const Font &font, const char *text, int x, int y);
