// The walk over all triangles: the title, then per triangle its label, outline and unit marks,
// nine cells to a page. What happens to a finished page (shown and awaited, or saved) is the
// caller's; the drawing is the same either way.
#pragma once

#include <cstdint>

#include "figure.h"
#include "font.h"
#include "layout.h"
#include "screen.h"

// Called after each page is drawn, with `context`, the page's number from 1 and its text
// alternative ("Page 1 of 4: triangles (19 19 2), (19 18 3), ..."). Returns nullptr to go on, or
// the failure line that ends the run.
using PageDone = const char *(*)(void *context, int page, const char *description);

// Draws every page onto the screen (opened, with the font), calling page_done after each and
// clearing before the next.
const char *draw_pages(const Screen &screen, const Font &font, PageDone page_done, void *context);

// The three steps of one triangle in its cell.
const char *draw_triangle_label(const Screen &screen, const Font &font, TriangleSides sides,
                                CellOrigin cell);
// Draws apex -> left end, left end -> right end, right end -> apex.
OutlineGeometry draw_triangle_outline(const Canvas &canvas, std::uint32_t colour,
                                      TriangleSides sides, CellOrigin cell);
void draw_unit_marks(const Canvas &canvas, std::uint32_t colour, TriangleSides sides,
                     CellOrigin cell, OutlineGeometry geometry);
