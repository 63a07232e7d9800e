// The screen: starting and stopping SDL, the 800x600 surface (a window, or memory for saving
// pages), clearing, locking and showing it. Every function that can fail reports why
// (report.h) and returns false.
#pragma once

// Start-up and shut-down
// SDL video and the 800x600x32 window. Refuses a driver that shows no window (SDL falls back to
// one when there is no display) unless SDL_VIDEODRIVER names it.
bool start_window();
bool start_offscreen(); // an 800x600x32 surface in memory instead, for saving pages
// Maps the colours, clears to white, starts SDL_ttf and opens the font at `font_path`.
bool prepare_screen(const char *font_path);
void stop_display(); // closes and frees whatever was started, SDL last

// Drawing
void clear_screen(); // the whole surface to white
bool lock_screen();  // before writing pixels directly, where the surface needs it
void unlock_screen();

// Showing
void show_page();      // makes what was drawn visible, at once
void repaint_screen(); // copies the shown page to the window again, after it was covered
