// Every fixed number of the viewer: sizes, positions, counts and texts. Nothing else in the
// program spells a number that means something; it names one of these.
#pragma once

#include <cstdint>

// The triangles
constexpr int PERIMETER = 40; // sum of the three whole-number sides of every triangle shown

// The window
constexpr int SCREEN_W = 800;  // pixels
constexpr int SCREEN_H = 600;  // pixels
constexpr int SCREEN_BPP = 32; // bits per pixel
// Pixel layout of the screen in memory used for saving pages: 0x00RRGGBB.
constexpr std::uint32_t MEMORY_RED_MASK = 0x00FF0000;
constexpr std::uint32_t MEMORY_GREEN_MASK = 0x0000FF00;
constexpr std::uint32_t MEMORY_BLUE_MASK = 0x000000FF;

// Pages
constexpr int PAGE_COUNT = 4; // 9, 9, 9 and 6 triangles

// Drawing scale
constexpr int UNIT_PX = 12;    // pixels per unit of side length
constexpr int MARK_RADIUS = 2; // pixels; radius of the ring drawn at every unit of a side

// Page layout (pixels)
constexpr int TITLE_X = 10; // top-left corner of the title, first page only
constexpr int TITLE_Y = 10;
constexpr int LEFT_MARGIN = 10;   // cell_x at the start of every row
constexpr int FIRST_ROW_Y = 100;  // cell_y of the first triangle
constexpr int PAGE_TOP_Y = 140;   // cell_y of the first triangle on every later page
constexpr int CELL_W = 240;       // horizontal advance from one cell to the next
constexpr int WRAP_LIMIT_X = 560; // after an advance, cell_x beyond this starts a new row
constexpr int ROW_H = 160;        // vertical advance to the next row
constexpr int PAGE_LIMIT_Y = 480; // after an advance, cell_y beyond this ends the page

// Text
constexpr const char *FONT_FILE = "times.ttf"; // opened from the working directory
constexpr int FONT_POINT_SIZE = 20;
constexpr const char *TITLE_FORMAT = " Triangles with perimeter %d";
constexpr const char *LABEL_FORMAT = "(%d %d %d)";        // longest side first
constexpr const char *LABEL_CHARACTERS = "()0123456789 "; // all that a label can hold
constexpr int TEXT_BUFFER_SIZE = 64; // bytes; the longest text, the title, needs 29
// Bytes of a page's text alternative ("Page 1 of 4: triangles (19 19 2), ..."): nine labels need
// 130.
constexpr int DESCRIPTION_BYTES = 512;
// A glyph is blank, a damaged outline drawn as nothing or as stray dots, when it inks fewer than
// one pixel in this many of its box. The thinnest glyphs of the title and the labels ink one in
// 4.5 in Liberation Serif at 20 points; none in a Liberation or DejaVu face inks fewer than 1 in 7.
constexpr int GLYPH_INK_ONE_IN = 10;

// Colours, as red, green and blue components
constexpr std::uint8_t WHITE_LEVEL = 255;
constexpr std::uint8_t BLACK_LEVEL = 0;

// Waiting
constexpr int FALLBACK_WAIT_MS = 10; // a step of the wait when there is no display connection
// After an ending request in the wait, how long closing the window may take before the process
// ends anyway (a stopped or unresponsive display server would otherwise hold it).
constexpr int CLOSING_GRACE_MS = 500;

// Failure messages
constexpr int FAILURE_LINE_MAX = 1024; // bytes of one failure line; a longer one is cut
constexpr int SHOWN_VALUE_MAX = 64;    // characters of a value from outside shown in a message

// Files
constexpr int PATH_BYTES = 4096; // bytes of a UTF-8 path the programs build

// Unit marks
constexpr int MARKS_PER_TRIANGLE = PERIMETER + 3; // n + 1 rings on a side of n units
