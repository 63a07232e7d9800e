// Everything the program does through SDL and SDL_ttf: starting and stopping, text, page flips,
// clearing, locking, waiting for the user and saving pages. Every function that can fail writes one
// line "Couldn't ...: <reason>" to stderr and returns false.
#pragma once

#include "enumeration.h"
#include "layout.h"

// Start-up and shut-down
bool start_window();    // SDL video and the 800x600x32 window; refuses an invisible driver
bool start_offscreen(); // an 800x600x32 surface in memory instead, for saving pages
// Maps the colours, clears to white, starts SDL_ttf and opens the font at `font_path`.
bool prepare_screen(const char *font_path);
void stop_display(); // closes and frees whatever was started, SDL last

// Drawing
bool write_text(int x, int y); // renders text_buffer in black with its top-left at (x, y)
bool draw_title();
bool draw_triangle_label(TriangleSides sides, CellOrigin cell);
void clear_screen(); // the whole surface to white
bool lock_screen();  // before writing pixels directly, where the surface needs it
void unlock_screen();

// Showing
void show_page();                 // makes what was drawn visible
bool wait_for_key();              // blocks until a key press or a close request; false on error
bool save_page(const char *path); // writes the screen as a BMP file
